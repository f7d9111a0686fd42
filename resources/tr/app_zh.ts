<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>vbMainWnd</name>
    <message>
        <source>velbrook</source>
        <translation>维尔布鲁克相册</translation>
    </message>
</context>
</TS>
