<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>vbMainWnd</name>
    <message>
        <source>velbrook</source>
        <translation>维尔布鲁克相册</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>最大化</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>还原</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>velbrook is run here!</source>
        <translation>维尔布鲁克相册在这里运行！</translation>
    </message>
    <message>
        <source>You have no select photo!</source>
        <translation>您还没有选择照片！</translation>
    </message>
    <message>
        <source>You select </source>
        <translation>您选择了 </translation>
    </message>
    <message>
        <source>Photos</source>
        <translation> 张照片</translation>
    </message>
    <message>
        <source>Do you want clear all photo?</source>
        <translation>确定要清除所有照片吗？</translation>
    </message>
    <message>
        <source>You can not select more then 300 photos!</source>
        <translation>最多只能选择 300 张照片！</translation>
    </message>
    <message>
        <source>Because one album just 500 photo,please remove some photo</source>
        <translation>每个相册最多 500 张照片，请移除一些照片</translation>
    </message>
    <message>
        <source>get photo albums...</source>
        <translation>正在获取相册...</translation>
    </message>
    <message>
        <source>logged in</source>
        <translation>已登录</translation>
    </message>
    <message>
        <source>login...</source>
        <translation>正在登录...</translation>
    </message>
    <message>
        <source>Try again now?</source>
        <translation>现在重试吗？</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>欢迎，</translation>
    </message>
    <message>
        <source>Sign out</source>
        <translation>退出登录</translation>
    </message>
    <message>
        <source>Sign in as someone else</source>
        <translation>以其他账号登录</translation>
    </message>
    <message>
        <source>signed out</source>
        <translation>已退出登录</translation>
    </message>
    <message>
        <source>Please login!</source>
        <translation>请先登录！</translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>You select &lt;count&gt; Photos</comment>
        <translation>
            <numerusform>%1%n%2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>vbUploadQueue</name>
    <message>
        <source>Could not save %1: %2</source>
        <translation>无法保存 %1：%2</translation>
    </message>
    <message numerus="yes">
        <source>%n photos restored after an abnormal end.</source>
        <translation>
            <numerusform>程序上次未正常退出，已恢复 %n 张照片。</numerusform>
        </translation>
    </message>
    <message>
        <source>The album has no room for more photos.</source>
        <translation>相册已满，无法再上传照片。</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Please login!</source>
        <translation>请先登录！</translation>
    </message>
    <message>
        <source>It&apos;s uploading image.Do you want cancel uploading?</source>
        <translation>正在上传照片。要取消上传吗？</translation>
    </message>
    <message>
        <source>Please select a photo list!</source>
        <translation>请选择一个相册！</translation>
    </message>
    <message>
        <source>Please select image to upload</source>
        <translation>请选择要上传的照片</translation>
    </message>
    <message>
        <source>Cann&apos;t upload more than 300 images</source>
        <translation>一次不能上传超过 300 张照片</translation>
    </message>
    <message>
        <source>You can upload</source>
        <translation>您还可以上传 </translation>
    </message>
    <message>
        <source>photos.</source>
        <translation> 张照片。</translation>
    </message>
    <message>
        <source> photos.Do you want upload front photo?</source>
        <translation> 张照片。要上传前面的这些照片吗？</translation>
    </message>
    <message>
        <source>Uploading...</source>
        <translation>正在上传...</translation>
    </message>
    <message>
        <source> photo,</source>
        <translation> 张照片，</translation>
    </message>
    <message>
        <source>wait for</source>
        <translation>等待 </translation>
    </message>
    <message>
        <source> photo.</source>
        <translation> 张照片。</translation>
    </message>
    <message>
        <source>Uploading...Success</source>
        <translation>正在上传...已成功 </translation>
    </message>
    <message>
        <source>Success</source>
        <translation>已成功 </translation>
    </message>
    <message>
        <source>StandBy</source>
        <translation>就绪</translation>
    </message>
    <message>
        <source>Do you want upload photos next time?</source>
        <translation>下次启动时继续上传这些照片吗？</translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>You can upload &lt;limit&gt; photos.</comment>
        <translation>
            <numerusform>%1%n%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>You can upload &lt;room&gt; photos; upload the front ones?</comment>
        <translation>
            <numerusform>%1%n%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>&lt;lead&gt; &lt;uploaded&gt; photo,</comment>
        <translation>
            <numerusform>%1%n%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>wait for &lt;waiting&gt; photo.</comment>
        <translation>
            <numerusform>%1%n%2</numerusform>
        </translation>
    </message>
</context>
</TS>
