<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>vbUpdateClass</name>
    <message>
        <source>Check download...</source>
        <translation>正在检查下载...</translation>
    </message>
</context>
<context>
    <name>vbUpdate</name>
    <message>
        <source>Updating</source>
        <translation>正在更新</translation>
    </message>
    <message>
        <source>Download failed!</source>
        <translation>下载失败！</translation>
    </message>
    <message>
        <source>No files to download.Click cancel to continue!</source>
        <translation>没有需要下载的文件。请点击取消继续！</translation>
    </message>
    <message>
        <source>Download files</source>
        <translation>正在下载文件</translation>
    </message>
    <message>
        <source>Download Complete</source>
        <translation>下载完成</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
</context>
<context>
    <name>vbUpdaterApp</name>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Detected latest version.Do you want update now?</source>
        <translation>检测到最新版本。您要现在更新吗？</translation>
    </message>
</context>
</TS>
