<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>ExtensionSystem::PluginManager</name>
    <message>
        <source>Plug-in folder %1 does not exist.</source>
        <translation>插件文件夹 %1 不存在。</translation>
    </message>
    <message>
        <source>%1 is not a plug-in: %2</source>
        <translation>%1 不是插件：%2</translation>
    </message>
    <message>
        <source>%1 is a plug-in for &quot;%2&quot;, not for &quot;%3&quot;.</source>
        <translation>%1 是“%2”的插件，不是“%3”的插件。</translation>
    </message>
    <message>
        <source>%1 does not implement the plug-in interface.</source>
        <translation>%1 没有实现插件接口。</translation>
    </message>
    <message>
        <source>%1 could not be loaded: %2</source>
        <translation>无法加载 %1：%2</translation>
    </message>
    <message>
        <source>%1 failed to initialize: %2</source>
        <translation>%1 初始化失败：%2</translation>
    </message>
</context>
<context>
    <name>GT_HandTool</name>
    <message>
        <source>Page %1</source>
        <translation>第 %1 页</translation>
    </message>
</context>
<context>
    <name>G_ActionHandler</name>
    <message>
        <source>Open file</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>This link opens the file &quot;%1&quot; on this computer. Open it?</source>
        <translation>此链接将打开本机上的文件“%1”。要打开吗？</translation>
    </message>
</context>
<context>
    <name>G_ContextMenu</name>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>属性</translation>
    </message>
</context>
<context>
    <name>ReaderDemo</name>
    <message>
        <source>cannot make the folder %1</source>
        <translation>无法创建文件夹 %1</translation>
    </message>
    <message>
        <source>the sample document is not there</source>
        <translation>找不到示例文档</translation>
    </message>
    <message>
        <source>the link tool is missing: is the annotlink plug-in built?</source>
        <translation>没有链接工具：annotlink 插件构建了吗？</translation>
    </message>
    <message>
        <source>could not save %1</source>
        <translation>无法保存 %1</translation>
    </message>
    <message>
        <source>saved %1</source>
        <translation>已保存 %1</translation>
    </message>
    <message>
        <source>could not reopen %1</source>
        <translation>无法重新打开 %1</translation>
    </message>
    <message>
        <source>could not write %1</source>
        <translation>无法写入 %1</translation>
    </message>
    <message>
        <source>wrote %1</source>
        <translation>已写入 %1</translation>
    </message>
    <message>
        <source>the link tool made no link for &quot;%1&quot;</source>
        <translation>链接工具没有为“%1”创建链接</translation>
    </message>
    <message>
        <source>go to page %1</source>
        <translation>跳转到第 %1 页</translation>
    </message>
    <message>
        <source>open the web page %1</source>
        <translation>打开网页 %1</translation>
    </message>
    <message>
        <source>open the attachment %1</source>
        <translation>打开附件 %1</translation>
    </message>
    <message>
        <source>play %1</source>
        <translation>播放 %1</translation>
    </message>
    <message>
        <source>made a link with the link tool: %1</source>
        <translation>用链接工具创建了链接：%1</translation>
    </message>
    <message>
        <source>the hand tool is missing</source>
        <translation>没有手形工具</translation>
    </message>
    <message>
        <source>following the go-to link showed page %1</source>
        <translation>跟随跳转链接后显示的是第 %1 页</translation>
    </message>
    <message>
        <source>followed the go-to link with the hand tool: page %1</source>
        <translation>用手形工具跟随了跳转链接：第 %1 页</translation>
    </message>
    <message>
        <source>went back with Alt+Left: page %1</source>
        <translation>用 Alt+左方向键后退：第 %1 页</translation>
    </message>
    <message>
        <source>opened the sample document, links on page 1: %1</source>
        <translation>打开了示例文档，第 1 页的链接：%1</translation>
    </message>
    <message>
        <source>reopened %1, links on page 1: %2</source>
        <translation>重新打开了 %1，第 1 页的链接：%2</translation>
    </message>
</context>
<context>
    <name>ReaderDocumentIO</name>
    <message>
        <source>This document cannot be saved as OFD.</source>
        <translation>此文档不能保存为 OFD。</translation>
    </message>
</context>
<context>
    <name>ReaderWindow</name>
    <message>
        <source>&amp;Open...</source>
        <translation>打开(&amp;O)...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>另存为(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>退出(&amp;Q)</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>放大(&amp;I)</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>缩小(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Actual Size</source>
        <translation>实际大小(&amp;A)</translation>
    </message>
    <message>
        <source>Fit &amp;Width</source>
        <translation>适合宽度(&amp;W)</translation>
    </message>
    <message>
        <source>Fit &amp;Page</source>
        <translation>适合页面(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Rotate Clockwise</source>
        <translation>顺时针旋转(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;First Page</source>
        <translation>第一页(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Previous Page</source>
        <translation>上一页(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Next Page</source>
        <translation>下一页(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Last Page</source>
        <translation>最后一页(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Hand Tool</source>
        <translation>手形工具(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;Link Tool</source>
        <translation>链接工具(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Full Screen</source>
        <translation>全屏(&amp;F)</translation>
    </message>
    <message>
        <source>Show &amp;Annotations</source>
        <translation>显示注释(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Delete All Links</source>
        <translation>删除所有链接(&amp;D)</translation>
    </message>
    <message>
        <source>Add Link from &amp;Selection</source>
        <translation>从选中文本添加链接(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>视图(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>工具(&amp;T)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Hand</source>
        <translation>手形</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>链接</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>宽度</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>页面</translation>
    </message>
    <message>
        <source>Main</source>
        <translation>主工具栏</translation>
    </message>
    <message>
        <source> / %1 </source>
        <translation> / %1 </translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>撤销(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>重做(&amp;R)</translation>
    </message>
    <message>
        <source>%1 could not be opened.
%2</source>
        <translation>无法打开 %1。
%2</translation>
    </message>
    <message>
        <source>OFD documents (*.ofd)</source>
        <translation>OFD 文档 (*.ofd)</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>另存为</translation>
    </message>
    <message>
        <source>The document is signed. Saving the changes breaks its signatures. Save anyway?</source>
        <translation>此文档已签名。保存更改会使签名失效。仍要保存吗？</translation>
    </message>
    <message>
        <source>%1 could not be saved.
%2</source>
        <translation>无法保存 %1。
%2</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Save the changes to the document?</source>
        <translation>保存对文档的更改吗？</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>第 %1 页，共 %2 页</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>未命名</translation>
    </message>
    <message>
        <source>%1[*] - OFD Reader</source>
        <translation>%1[*] - OFD 阅读器</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>后退(&amp;B)</translation>
    </message>
    <message>
        <source>F&amp;orward</source>
        <translation>前进(&amp;O)</translation>
    </message>
</context>
<context>
    <name>Utils::OMColorDialog</name>
    <message>
        <source>Custom</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>More...</source>
        <translation>更多...</translation>
    </message>
    <message>
        <source>Select Color</source>
        <translation>选择颜色</translation>
    </message>
</context>
</TS>
