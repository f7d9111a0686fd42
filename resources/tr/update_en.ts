<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>vbUpdateClass</name>
    <message>
        <source>Check download...</source>
        <translation>Checking for downloads...</translation>
    </message>
</context>
<context>
    <name>vbUpdate</name>
    <message>
        <source>Updating</source>
        <translation>Updating</translation>
    </message>
    <message>
        <source>Download failed!</source>
        <translation>Download failed.</translation>
    </message>
    <message>
        <source>No files to download.Click cancel to continue!</source>
        <translation>There are no files to download. Click Cancel to continue.</translation>
    </message>
    <message>
        <source>Download files</source>
        <translation>Downloading files...</translation>
    </message>
    <message>
        <source>Download Complete</source>
        <translation>Download complete.</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>Notice</translation>
    </message>
</context>
<context>
    <name>vbUpdaterApp</name>
    <message>
        <source>Tips</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>Detected latest version.Do you want update now?</source>
        <translation>A new version is available. Do you want to update now?</translation>
    </message>
</context>
</TS>
