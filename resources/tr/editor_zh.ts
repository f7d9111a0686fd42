<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>vbCavasClass</name>
    <message>
        <source>Fit</source>
        <translation>适合窗口</translation>
    </message>
    <message>
        <source>add Text and Date</source>
        <translation>添加文字和日期</translation>
    </message>
    <message>
        <source>add element</source>
        <translation>添加元素</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>角度</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>缩放</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>放大</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>缩小</translation>
    </message>
    <message>
        <source>Turn left</source>
        <translation>向左旋转</translation>
    </message>
    <message>
        <source>Turn right</source>
        <translation>向右旋转</translation>
    </message>
    <message>
        <source>Crop to a print size</source>
        <translation>按冲印尺寸裁剪</translation>
    </message>
    <message>
        <source>vbCavas</source>
        <translation>编辑照片</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
</context>
<context>
    <name>vbCavas</name>
    <message>
        <source>The photo cannot be loaded</source>
        <translation>无法读取这张照片</translation>
    </message>
    <message>
        <source>Turn left</source>
        <translation>向左旋转</translation>
    </message>
    <message>
        <source>Turn right</source>
        <translation>向右旋转</translation>
    </message>
    <message>
        <source>Add text</source>
        <translation>添加文字</translation>
    </message>
    <message>
        <source>Add element</source>
        <translation>添加元素</translation>
    </message>
    <message>
        <source>Turn</source>
        <translation>旋转</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>缩放</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>裁剪</translation>
    </message>
    <message>
        <source>The edited photo cannot be saved</source>
        <translation>无法保存编辑后的照片</translation>
    </message>
    <message>
        <source>Drag the frame, then OK to crop</source>
        <translation>拖动裁剪框，然后点击确定完成裁剪</translation>
    </message>
</context>
<context>
    <name>vbCanvasView</name>
    <message>
        <source>Can not razor!</source>
        <translation>无法裁剪！</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>移动</translation>
    </message>
</context>
<context>
    <name>vbRazorDialogClass</name>
    <message>
        <source>Click OK to razor photo</source>
        <translation>点击确定裁剪照片</translation>
    </message>
    <message>
        <source>Select size</source>
        <translation>选择尺寸</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>尺寸：</translation>
    </message>
    <message>
        <source>Hor</source>
        <translation>横向</translation>
    </message>
    <message>
        <source>Ver</source>
        <translation>纵向</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Can razor because image is too small</source>
        <translation>照片太小，无法裁剪</translation>
    </message>
    <message>
        <source>vbRazorDialog</source>
        <translation>选择冲印尺寸</translation>
    </message>
</context>
<context>
    <name>vbRazorDialog</name>
    <message>
        <source>5S</source>
        <translation>5寸</translation>
    </message>
    <message>
        <source>6S</source>
        <translation>6寸</translation>
    </message>
    <message>
        <source>Full 6S</source>
        <translation>6寸全幅</translation>
    </message>
    <message>
        <source>7S</source>
        <translation>7寸</translation>
    </message>
    <message>
        <source>8S</source>
        <translation>8寸</translation>
    </message>
    <message>
        <source>10S</source>
        <translation>10寸</translation>
    </message>
    <message>
        <source>12S</source>
        <translation>12寸</translation>
    </message>
    <message>
        <source>16S</source>
        <translation>16寸</translation>
    </message>
    <message>
        <source>18S</source>
        <translation>18寸</translation>
    </message>
    <message>
        <source>20S</source>
        <translation>20寸</translation>
    </message>
    <message>
        <source>24S</source>
        <translation>24寸</translation>
    </message>
    <message>
        <source>30S</source>
        <translation>30寸</translation>
    </message>
    <message>
        <source>40S</source>
        <translation>40寸</translation>
    </message>
</context>
<context>
    <name>vbAddTextClass</name>
    <message>
        <source>add Text and Date</source>
        <translation>添加文字和日期</translation>
    </message>
    <message>
        <source>Family:</source>
        <translation>字体：</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>字号：</translation>
    </message>
    <message>
        <source>Color:</source>
        <translation>颜色：</translation>
    </message>
    <message>
        <source>Insert Date</source>
        <translation>插入日期</translation>
    </message>
    <message>
        <source>Add Text</source>
        <translation>添加文字</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>vbAddText</source>
        <translation>添加文字和日期</translation>
    </message>
</context>
<context>
    <name>vbAddElementClass</name>
    <message>
        <source>add element</source>
        <translation>添加元素</translation>
    </message>
    <message>
        <source>add elements</source>
        <translation>添加元素</translation>
    </message>
    <message>
        <source>add elemnts</source>
        <translation>添加元素</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>类型：</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>导入</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>更新</translation>
    </message>
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
    <name>vbAddElement</name>
    <message>
        <source>Double click to add element</source>
        <translation>双击添加元素</translation>
    </message>
    <message>
        <source>Import elements</source>
        <translation>导入元素</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Download failed!</source>
        <translation>下载失败！</translation>
    </message>
</context>
</TS>
