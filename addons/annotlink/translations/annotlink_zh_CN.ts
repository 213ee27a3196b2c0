<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>QObject</name>
    <message>
        <source>clear link</source>
        <translation>清除链接</translation>
    </message>
    <message>
        <source>Are you sure to delete all link annots in the document?</source>
        <translation>确定要删除文档中的所有链接注释吗？</translation>
    </message>
</context>
<context>
    <name>SingleLinkPropertyDialog</name>
    <message>
        <source>This document has no attachments</source>
        <translation>此文档没有附件</translation>
    </message>
    <message>
        <source>This document has no embedded audio and video files</source>
        <translation>此文档没有嵌入的音视频文件</translation>
    </message>
    <message>
        <source>link property</source>
        <translation>链接属性</translation>
    </message>
    <message>
        <source>appearence</source>
        <translation>外观</translation>
    </message>
    <message>
        <source>boundary:</source>
        <translation>边框：</translation>
    </message>
    <message>
        <source>rectangle</source>
        <translation>矩形</translation>
    </message>
    <message>
        <source>underline</source>
        <translation>下划线</translation>
    </message>
    <message>
        <source>invisible</source>
        <translation>不可见</translation>
    </message>
    <message>
        <source>line type</source>
        <translation>线型</translation>
    </message>
    <message>
        <source>thin</source>
        <translation>细</translation>
    </message>
    <message>
        <source>middle</source>
        <translation>中</translation>
    </message>
    <message>
        <source>coarse</source>
        <translation>粗</translation>
    </message>
    <message>
        <source>link action</source>
        <translation>链接动作</translation>
    </message>
    <message>
        <source>jump to page</source>
        <translation>跳转到页面</translation>
    </message>
    <message>
        <source>open web page</source>
        <translation>打开网页</translation>
    </message>
    <message>
        <source>open document attachment</source>
        <translation>打开文档附件</translation>
    </message>
    <message>
        <source>play audio video file</source>
        <translation>播放音视频文件</translation>
    </message>
    <message>
        <source>total</source>
        <translation>共</translation>
    </message>
    <message numerus="yes">
        <source>page</source>
        <translation>
            <numerusform>页</numerusform>
        </translation>
    </message>
    <message>
        <source>go to page:</source>
        <translation>跳转页码：</translation>
    </message>
    <message>
        <source>web address:</source>
        <translation>网页地址：</translation>
    </message>
    <message>
        <source>select attachment:</source>
        <translation>选择附件：</translation>
    </message>
    <message>
        <source>select audio or video file:</source>
        <translation>选择音视频文件：</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>取消</translation>
    </message>
</context>
</TS>
