<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>vbImageLoader</name>
    <message>
        <source>The photo file no longer exists.</source>
        <translation>照片文件已不存在。</translation>
    </message>
    <message>
        <source>The photo file is empty.</source>
        <translation>照片文件是空的。</translation>
    </message>
    <message>
        <source>The file is not a picture.</source>
        <translation>该文件不是图片。</translation>
    </message>
    <message>
        <source>The photo is too large (more than 250 million pixels).</source>
        <translation>照片太大（超过 2.5 亿像素）。</translation>
    </message>
    <message>
        <source>The photo file is incomplete.</source>
        <translation>照片文件不完整。</translation>
    </message>
    <message>
        <source>The photo cannot be decoded.</source>
        <translation>照片无法解码。</translation>
    </message>
</context>
<context>
    <name>vbFileNodeUI</name>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Photo info</source>
        <translation>照片信息</translation>
    </message>
    <message>
        <source>Full screen</source>
        <translation>全屏</translation>
    </message>
    <message>
        <source>Photo had uploaded!</source>
        <translation>照片已上传过！</translation>
    </message>
    <message>
        <source>Photo uploaded!</source>
        <translation>照片已上传！</translation>
    </message>
    <message>
        <source>Photo upload failed!</source>
        <translation>照片上传失败！</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Photo name can&apos;t be empty!</source>
        <translation>照片名称不能为空！</translation>
    </message>
    <message>
        <source>Waiting</source>
        <translation>等待上传</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>Preparing</source>
        <translation>准备中</translation>
    </message>
    <message>
        <source>Sending %1%</source>
        <translation>上传中 %1%</translation>
    </message>
    <message>
        <source>Finishing</source>
        <translation>即将完成</translation>
    </message>
</context>
<context>
    <name>vbFileList</name>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>You can not select more then 300 photos!</source>
        <translation>您最多只能选择300张照片！</translation>
    </message>
    <message>
        <source>Click &quot;Select Files&quot; button or drag photos to this widget</source>
        <translation>点击“选择照片”按钮或将照片拖到这里</translation>
    </message>
</context>
<context>
    <name>vbSelectFiles</name>
    <message>
        <source>You select </source>
        <translation>您选择了 </translation>
    </message>
    <message>
        <source>files</source>
        <translation> 张照片</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>You can not select more then 300 photos!</source>
        <translation>您最多只能选择300张照片！</translation>
    </message>
    <message>
        <source>You must select a photo!</source>
        <translation>请至少选择一张照片！</translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>You select &lt;n&gt; files</comment>
        <translation>
            <numerusform>%1%n%2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>vbSelectFilesClass</name>
    <message>
        <source>select all</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>vbSelectFiles</source>
        <translation>选择照片</translation>
    </message>
</context>
<context>
    <name>vbTreeView</name>
    <message>
        <source>Home</source>
        <translation>主文件夹</translation>
    </message>
</context>
</TS>
