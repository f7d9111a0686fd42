<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>vbFileNodeUI</name>
    <message>
        <source>Remove</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Photo info</source>
        <translation>Photo information</translation>
    </message>
    <message>
        <source>Full screen</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>Photo had uploaded!</source>
        <translation>Uploaded before</translation>
    </message>
    <message>
        <source>Photo uploaded!</source>
        <translation>Uploaded</translation>
    </message>
    <message>
        <source>Photo upload failed!</source>
        <translation>Upload failed</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>Photo name can't be empty!</source>
        <translation>The photo name cannot be empty.</translation>
    </message>
    <message>
        <source>Waiting</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>Preparing</source>
        <translation>Preparing</translation>
    </message>
    <message>
        <source>Sending %1%</source>
        <translation>Sending %1%</translation>
    </message>
    <message>
        <source>Finishing</source>
        <translation>Finishing</translation>
    </message>
</context>
<context>
    <name>vbFileList</name>
    <message>
        <source>Tips</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>You can not select more then 300 photos!</source>
        <translation>You cannot select more than 300 photos.</translation>
    </message>
    <message>
        <source>Click &quot;Select Files&quot; button or drag photos to this widget</source>
        <translation>Click &quot;Select Files&quot; or drag photos here</translation>
    </message>
</context>
<context>
    <name>vbSelectFiles</name>
    <message>
        <source>You select </source>
        <translation>Selected: </translation>
    </message>
    <message>
        <source>files</source>
        <translation> photos</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>You can not select more then 300 photos!</source>
        <translation>You cannot select more than 300 photos.</translation>
    </message>
    <message>
        <source>You must select a photo!</source>
        <translation>Please select at least one photo.</translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>You select &lt;n&gt; files</comment>
        <translation>
            <numerusform>%n photo selected</numerusform>
            <numerusform>%n photos selected</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>vbSelectFilesClass</name>
    <message>
        <source>select all</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>vbSelectFiles</source>
        <translation>Select Photos</translation>
    </message>
</context>
<context>
    <name>vbTreeView</name>
    <message>
        <source>Home</source>
        <translation>Home</translation>
    </message>
</context>
<context>
    <name>vbImageLoader</name>
    <message>
        <source>The photo file no longer exists.</source>
        <translation>The photo file no longer exists.</translation>
    </message>
    <message>
        <source>The photo file is empty.</source>
        <translation>The photo file is empty.</translation>
    </message>
    <message>
        <source>The file is not a picture.</source>
        <translation>The file is not a picture.</translation>
    </message>
    <message>
        <source>The photo is too large (more than 250 million pixels).</source>
        <translation>The photo is too large (more than 250 million pixels).</translation>
    </message>
    <message>
        <source>The photo file is incomplete.</source>
        <translation>The photo file is incomplete.</translation>
    </message>
    <message>
        <source>The photo cannot be decoded.</source>
        <translation>The photo cannot be decoded.</translation>
    </message>
</context>
</TS>
