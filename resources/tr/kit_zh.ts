<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>vbMessageBoxClass</name>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>vbStatusBarClass</name>
    <message>
        <source>Remove All</source>
        <translation>全部移除</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>上传</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>vbToolPanelClass</name>
    <message>
        <source>Register</source>
        <translation>注册</translation>
    </message>
    <message>
        <source>task</source>
        <translation>任务</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Photo upload to:</source>
        <translation>照片上传到：</translation>
    </message>
    <message>
        <source>Create Album</source>
        <translation>创建相册</translation>
    </message>
    <message>
        <source>You have no select photo!</source>
        <translation>您还没有选择照片！</translation>
    </message>
    <message>
        <source>Select Files</source>
        <translation>选择文件</translation>
    </message>
</context>
<context>
    <name>vbToolPanel</name>
    <message>
        <source>Samll Icon mode</source>
        <translation>小图标模式</translation>
    </message>
    <message>
        <source>Big Icon mode</source>
        <translation>大图标模式</translation>
    </message>
    <message>
        <source>List mode</source>
        <translation>列表模式</translation>
    </message>
    <message>
        <source>Play mode</source>
        <translation>播放模式</translation>
    </message>
</context>
</TS>
