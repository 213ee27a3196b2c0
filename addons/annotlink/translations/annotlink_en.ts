<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>QObject</name>
    <message>
        <source>clear link</source>
        <translation>Delete All Links</translation>
    </message>
    <message>
        <source>Are you sure to delete all link annots in the document?</source>
        <translation>Delete all links of the document?</translation>
    </message>
</context>
<context>
    <name>SingleLinkPropertyDialog</name>
    <message>
        <source>This document has no attachments</source>
        <translation>This document has no attachments</translation>
    </message>
    <message>
        <source>This document has no embedded audio and video files</source>
        <translation>No audio or video files in this document</translation>
    </message>
    <message>
        <source>link property</source>
        <translation>Link Properties</translation>
    </message>
    <message>
        <source>appearence</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <source>boundary:</source>
        <translation>Boundary:</translation>
    </message>
    <message>
        <source>rectangle</source>
        <translation>Rectangle</translation>
    </message>
    <message>
        <source>underline</source>
        <translation>Underline</translation>
    </message>
    <message>
        <source>invisible</source>
        <translation>Invisible</translation>
    </message>
    <message>
        <source>line type</source>
        <translation>Line type</translation>
    </message>
    <message>
        <source>thin</source>
        <translation>Thin</translation>
    </message>
    <message>
        <source>middle</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>coarse</source>
        <translation>Thick</translation>
    </message>
    <message>
        <source>link action</source>
        <translation>Link Action</translation>
    </message>
    <message>
        <source>jump to page</source>
        <translation>Go to a page</translation>
    </message>
    <message>
        <source>open web page</source>
        <translation>Open a web page</translation>
    </message>
    <message>
        <source>open document attachment</source>
        <translation>Open an attachment of the document</translation>
    </message>
    <message>
        <source>play audio video file</source>
        <translation>Play an audio or video file</translation>
    </message>
    <message>
        <source>total</source>
        <translation>of </translation>
    </message>
    <message numerus="yes">
        <source>page</source>
        <translation>
            <numerusform> page</numerusform>
            <numerusform> pages</numerusform>
        </translation>
    </message>
    <message>
        <source>go to page:</source>
        <translation>Go to page:</translation>
    </message>
    <message>
        <source>web address:</source>
        <translation>Web address:</translation>
    </message>
    <message>
        <source>select attachment:</source>
        <translation>Attachment:</translation>
    </message>
    <message>
        <source>select audio or video file:</source>
        <translation>Audio or video file:</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
