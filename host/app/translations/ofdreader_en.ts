<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>ExtensionSystem::PluginManager</name>
    <message>
        <source>Plug-in folder %1 does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a plug-in: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a plug-in for &quot;%2&quot;, not for &quot;%3&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 does not implement the plug-in interface.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 could not be loaded: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 failed to initialize: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GT_HandTool</name>
    <message>
        <source>Page %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>G_ActionHandler</name>
    <message>
        <source>Open file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This link opens the file &quot;%1&quot; on this computer. Open it?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>G_ContextMenu</name>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cut</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Properties</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReaderDemo</name>
    <message>
        <source>cannot make the folder %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the sample document is not there</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the link tool is missing: is the annotlink plug-in built?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>could not save %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>saved %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>could not reopen %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>could not write %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>wrote %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the link tool made no link for &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>go to page %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>open the web page %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>open the attachment %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>play %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>made a link with the link tool: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the hand tool is missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>following the go-to link showed page %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>followed the go-to link with the hand tool: page %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>went back with Alt+Left: page %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>opened the sample document, links on page 1: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>reopened %1, links on page 1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReaderDocumentIO</name>
    <message>
        <source>This document cannot be saved as OFD.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReaderWindow</name>
    <message>
        <source>&amp;Open...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Actual Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fit &amp;Width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fit &amp;Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Rotate Clockwise</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;First Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Previous Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Next Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Last Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Hand Tool</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Link Tool</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Full Screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show &amp;Annotations</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete All Links</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Link from &amp;Selection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hand</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Main</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> / %1 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 could not be opened.
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OFD documents (*.ofd)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save As</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The document is signed. Saving the changes breaks its signatures. Save anyway?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 could not be saved.
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save the changes to the document?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1[*] - OFD Reader</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F&amp;orward</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Utils::OMColorDialog</name>
    <message>
        <source>Custom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>More...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select Color</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
