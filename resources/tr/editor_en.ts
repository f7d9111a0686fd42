<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>vbCavasClass</name>
    <message>
        <source>Fit</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>add Text and Date</source>
        <translation>Add text and date</translation>
    </message>
    <message>
        <source>add element</source>
        <translation>Add element</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>Angle</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>Turn left</source>
        <translation>Rotate left</translation>
    </message>
    <message>
        <source>Turn right</source>
        <translation>Rotate right</translation>
    </message>
    <message>
        <source>Crop to a print size</source>
        <translation>Crop to a print size</translation>
    </message>
    <message>
        <source>vbCavas</source>
        <translation>Edit Photo</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Redo</translation>
    </message>
</context>
<context>
    <name>vbCavas</name>
    <message>
        <source>The photo cannot be loaded</source>
        <translation>The photo cannot be loaded.</translation>
    </message>
    <message>
        <source>Turn left</source>
        <translation>Rotate left</translation>
    </message>
    <message>
        <source>Turn right</source>
        <translation>Rotate right</translation>
    </message>
    <message>
        <source>Add text</source>
        <translation>Add text</translation>
    </message>
    <message>
        <source>Add element</source>
        <translation>Add element</translation>
    </message>
    <message>
        <source>Turn</source>
        <translation>Rotate</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>Crop</translation>
    </message>
    <message>
        <source>The edited photo cannot be saved</source>
        <translation>The edited photo cannot be saved.</translation>
    </message>
    <message>
        <source>Drag the frame, then OK to crop</source>
        <translation>Drag the frame, then click OK to crop</translation>
    </message>
</context>
<context>
    <name>vbCanvasView</name>
    <message>
        <source>Can not razor!</source>
        <translation>The photo is too small to crop.</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Move</translation>
    </message>
</context>
<context>
    <name>vbRazorDialogClass</name>
    <message>
        <source>Click OK to razor photo</source>
        <translation>Click OK to crop the photo</translation>
    </message>
    <message>
        <source>Select size</source>
        <translation>Select a print size</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>Hor</source>
        <translation>Landscape</translation>
    </message>
    <message>
        <source>Ver</source>
        <translation>Portrait</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Can razor because image is too small</source>
        <translation>Photo too small for this size</translation>
    </message>
    <message>
        <source>vbRazorDialog</source>
        <translation>Crop to Print Size</translation>
    </message>
</context>
<context>
    <name>vbRazorDialog</name>
    <message>
        <source>5S</source>
        <translation>5 inch</translation>
    </message>
    <message>
        <source>6S</source>
        <translation>6 inch</translation>
    </message>
    <message>
        <source>Full 6S</source>
        <translation>6 inch full frame</translation>
    </message>
    <message>
        <source>7S</source>
        <translation>7 inch</translation>
    </message>
    <message>
        <source>8S</source>
        <translation>8 inch</translation>
    </message>
    <message>
        <source>10S</source>
        <translation>10 inch</translation>
    </message>
    <message>
        <source>12S</source>
        <translation>12 inch</translation>
    </message>
    <message>
        <source>16S</source>
        <translation>16 inch</translation>
    </message>
    <message>
        <source>18S</source>
        <translation>18 inch</translation>
    </message>
    <message>
        <source>20S</source>
        <translation>20 inch</translation>
    </message>
    <message>
        <source>24S</source>
        <translation>24 inch</translation>
    </message>
    <message>
        <source>30S</source>
        <translation>30 inch</translation>
    </message>
    <message>
        <source>40S</source>
        <translation>40 inch</translation>
    </message>
</context>
<context>
    <name>vbAddTextClass</name>
    <message>
        <source>add Text and Date</source>
        <translation>Add text and date</translation>
    </message>
    <message>
        <source>Family:</source>
        <translation>Font:</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>Color:</source>
        <translation>Color:</translation>
    </message>
    <message>
        <source>Insert Date</source>
        <translation>Insert date</translation>
    </message>
    <message>
        <source>Add Text</source>
        <translation>Add text</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>vbAddText</source>
        <translation>Add Text and Date</translation>
    </message>
</context>
<context>
    <name>vbAddElementClass</name>
    <message>
        <source>add element</source>
        <translation>Add Element</translation>
    </message>
    <message>
        <source>add elements</source>
        <translation>Add elements to the photo</translation>
    </message>
    <message>
        <source>add elemnts</source>
        <translation>Add elements</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Update</translation>
    </message>
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
    <name>vbAddElement</name>
    <message>
        <source>Double click to add element</source>
        <translation>Double-click to add this element</translation>
    </message>
    <message>
        <source>Import elements</source>
        <translation>Import elements</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>Tips</translation>
    </message>
    <message>
        <source>Download failed!</source>
        <translation>Download failed.</translation>
    </message>
</context>
</TS>
