<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>vbBaseUpload</name>
    <message>
        <source>The previous transfer is still ending</source>
        <translation>上一次传输尚未结束</translation>
    </message>
</context>
<context>
    <name>vbFtpUpload</name>
    <message>
        <source>Cannot read %1</source>
        <translation>无法读取 %1</translation>
    </message>
    <message>
        <source>Cannot log in to the FTP server %1 or open the folder %2</source>
        <translation>无法登录 FTP 服务器 %1 或打开文件夹 %2</translation>
    </message>
    <message>
        <source>Storing %1 failed: %2</source>
        <translation>保存 %1 失败：%2</translation>
    </message>
    <message>
        <source>the local file could not be read</source>
        <translation>无法读取本地文件</translation>
    </message>
    <message>
        <source>the connection broke</source>
        <translation>连接已断开</translation>
    </message>
</context>
<context>
    <name>vbHttpUpload</name>
    <message>
        <source>Cannot read the photo file %1</source>
        <translation>无法读取照片文件 %1</translation>
    </message>
    <message>
        <source>Cannot connect to %1:%2</source>
        <translation>无法连接到 %1:%2</translation>
    </message>
    <message>
        <source>The connection broke after %1 of %2 bytes</source>
        <translation>已发送 %1 / %2 字节后连接断开</translation>
    </message>
    <message>
        <source>The service refused the photo: %1</source>
        <translation>服务器拒绝了照片：%1</translation>
    </message>
    <message>
        <source>The service closed the connection without an answer</source>
        <translation>服务器未应答就关闭了连接</translation>
    </message>
    <message>
        <source>The service did not answer in time</source>
        <translation>服务器没有及时应答</translation>
    </message>
    <message>
        <source>The connection failed while waiting for the answer</source>
        <translation>等待应答时连接失败</translation>
    </message>
    <message>
        <source>Unexpected error while waiting for the answer</source>
        <translation>等待应答时发生意外错误</translation>
    </message>
</context>
<context>
    <name>vbLogs</name>
    <message>
        <source>Upload logs</source>
        <translation>上传日志</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>User</source>
        <translation>用户</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>相册</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>文件名</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Successed</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>Faild</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Please select a failed photo to upload</source>
        <translation>请选择一张上传失败的照片</translation>
    </message>
    <message>
        <source>Successed photo can not import!</source>
        <translation>已成功上传的照片不能再导入！</translation>
    </message>
    <message>
        <source>Re-uploaded</source>
        <translation>重新上传成功</translation>
    </message>
    <message>
        <source>Uploaded after an earlier attempt failed</source>
        <translation>之前上传失败，这次重新上传成功</translation>
    </message>
    <message>
        <source>Uploaded again on %1</source>
        <translation>已于%1重新上传</translation>
    </message>
</context>
<context>
    <name>vbLogsClass</name>
    <message>
        <source>Re-upload</source>
        <translation>重新上传</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>vbUploadAgainBox</name>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>This photo has been upload.Do you want upload again?</source>
        <translation>这张照片已经上传过。要再次上传吗？</translation>
    </message>
</context>
<context>
    <name>vbUploadAgainBoxClass</name>
    <message>
        <source>Yes all</source>
        <translation>全部是</translation>
    </message>
    <message>
        <source>No all</source>
        <translation>全部否</translation>
    </message>
</context>
<context>
    <name>vbUploadComplete</name>
    <message>
        <source>Upload complete</source>
        <translation>上传完成</translation>
    </message>
    <message>
        <source>Visit the velbrook website</source>
        <translation>访问velbrook网站</translation>
    </message>
    <message numerus="yes">
        <source>All %n photo(s) uploaded.</source>
        <translation>
            <numerusform>%n张照片全部上传成功。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>vbUploadCompleteClass</name>
    <message>
        <source>continue to upload</source>
        <translation>继续上传</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>vbUploadFailed</name>
    <message>
        <source>Upload complete</source>
        <translation>上传完成</translation>
    </message>
    <message>
        <source>Successed upload</source>
        <translation>成功上传</translation>
    </message>
    <message>
        <source> photo,</source>
        <translation>张照片，</translation>
    </message>
    <message>
        <source>has</source>
        <translation>有</translation>
    </message>
    <message>
        <source> failed</source>
        <translation>张失败</translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>Successed upload &lt;n&gt; photo,</comment>
        <translation>
            <numerusform>%1%n%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>has &lt;n&gt; failed</comment>
        <translation>
            <numerusform>%1%n%2</numerusform>
        </translation>
    </message>
    <message>
        <source>Upload finished with failures</source>
        <translation>上传完成，部分失败</translation>
    </message>
    <message>
        <source>Upload failed</source>
        <translation>上传失败</translation>
    </message>
    <message>
        <source>no reason was given</source>
        <translation>未给出原因</translation>
    </message>
    <message numerus="yes">
        <source>None of the %n photo(s) could be uploaded.</source>
        <translation>
            <numerusform>%n张照片全部上传失败。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>vbUploadFailedClass</name>
    <message>
        <source>Re-upload</source>
        <translation>重新上传</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>vbUploadProtocol</name>
    <message>
        <source>Getting the upload key failed: %1</source>
        <translation>获取上传密钥失败：%1</translation>
    </message>
    <message>
        <source>Sending the photo failed: %1</source>
        <translation>发送照片失败：%1</translation>
    </message>
    <message>
        <source>Saving the photo&apos;s details failed: %1</source>
        <translation>保存照片信息失败：%1</translation>
    </message>
    <message>
        <source>empty answer</source>
        <translation>空应答</translation>
    </message>
    <message>
        <source>unexpected answer &quot;%1&quot;</source>
        <translation>意外的应答“%1”</translation>
    </message>
</context>
</TS>
