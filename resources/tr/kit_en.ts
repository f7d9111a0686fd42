<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>vbMessageBoxClass</name>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>vbStatusBarClass</name>
    <message>
        <source>Remove All</source>
        <translation>Remove all</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>vbToolPanelClass</name>
    <message>
        <source>Register</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>task</source>
        <translation>Upload log</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Photo upload to:</source>
        <translation>Upload photos to:</translation>
    </message>
    <message>
        <source>Create Album</source>
        <translation>Create album</translation>
    </message>
    <message>
        <source>You have no select photo!</source>
        <translation>No photos selected yet.</translation>
    </message>
    <message>
        <source>Select Files</source>
        <translation>Select Files</translation>
    </message>
</context>
<context>
    <name>vbToolPanel</name>
    <message>
        <source>Samll Icon mode</source>
        <translation>Small icons</translation>
    </message>
    <message>
        <source>Big Icon mode</source>
        <translation>Large icons</translation>
    </message>
    <message>
        <source>List mode</source>
        <translation>List</translation>
    </message>
    <message>
        <source>Play mode</source>
        <translation>Slideshow</translation>
    </message>
</context>
</TS>
