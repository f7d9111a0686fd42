<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>vbPlayerClass</name>
    <message>
        <source>vbPlayer</source>
        <translation>Slideshow</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>Speed:</translation>
    </message>
</context>
<context>
    <name>vbPhotoInfoClass</name>
    <message>
        <source>vbPhotoInfo</source>
        <translation>Photo Information</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Path:</source>
        <translation>Path:</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>Photo size:</source>
        <translation>File size:</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source>company:</source>
        <translation>Make:</translation>
    </message>
    <message>
        <source>Model:</source>
        <translation>Model:</translation>
    </message>
</context>
<context>
    <name>vbPhotoInfo</name>
    <message>
        <source>pix</source>
        <translation> pixels</translation>
    </message>
</context>
<context>
    <name>vbFullScreen</name>
    <message>
        <source>Full screen</source>
        <translation>Full Screen</translation>
    </message>
</context>
</TS>
