#pragma once

#include <QList>

#include <functional>

class G_DocView;
class IG_Annot;
class IG_Document;

enum G_EventType { G_Event_DocumentChanged = 110, G_Event_Annotation = 111 };

class G_Event
{
public:
    explicit G_Event(int type) : m_type(type) {}
    virtual ~G_Event() = default;
    int Type() const { return m_type; }

private:
    int m_type;
};

// An annotation was created or changed.
class G_AnnotationEvent : public G_Event
{
public:
    G_AnnotationEvent(IG_Document *document, IG_Annot *annot, int type)
        : G_Event(type), m_document(document), m_annot(annot) {}
    IG_Document *Document() const { return m_document; }
    IG_Annot *Annot() const { return m_annot; }

private:
    IG_Document *m_document;
    IG_Annot *m_annot;
};

// Annotations of a view's document were removed together.
class G_DocumentChangedEvent : public G_Event
{
public:
    G_DocumentChangedEvent(G_DocView *view, int type, int subType)
        : G_Event(type), m_view(view), m_subType(subType) {}
    G_DocView *DocView() const { return m_view; }
    int SubType() const { return m_subType; }

private:
    G_DocView *m_view;
    int m_subType;
};

// Hands every fired event to its listeners, in the order they were added.
class G_EventMgr
{
public:
    using Listener = std::function<void(const G_Event &)>;
    int AddListener(const Listener &listener);
    void RemoveListener(int id);
    void Dispatch(const G_Event &event);

private:
    QList<QPair<int, Listener>> m_listeners;
    int m_nextId = 1;
};
