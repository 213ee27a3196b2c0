#pragma once

#include "g_object.h"

#include "ombase/cca_geometry.h"

#include <cstdint>

// Action type codes.
enum G_ActionType {
    G_ActionType_Unknown = 0,
    G_ActionType_Goto = 1,
    G_ActionType_URI = 2,
    G_ActionType_Sound = 3,
    G_ActionType_Movie = 4,
    G_ActionType_GotoA = 5
};

// Event that runs an action (OFD Action@Event).
enum G_ActionEvent { G_ActionEvent_Click = 0, G_ActionEvent_DocOpen = 1, G_ActionEvent_PageOpen = 2 };

CCA_String ActionTypeToString(int type);   // "Goto", "URI", "Sound", "Movie", "GotoA"; "" otherwise
int ActionTypeFromString(const CCA_String &text); // 0 when unknown

class G_Action : public G_Object
{
public:
    explicit G_Action(int type = G_ActionType_Unknown) : m_type(type) {}
    int Type() const { return m_type; }
    void SetType(int type) { m_type = type; }
    int Event() const { return m_event; }
    void SetEvent(int event) { m_event = event; }
    // A new object of the same class with the same fields; the caller owns it.
    virtual G_Action *Clone() const = 0;
    virtual bool Equals(const G_Action &other) const;

protected:
    int m_type;
    int m_event = G_ActionEvent_Click;
};

// Same class and same fields.
bool operator==(const G_Action &a, const G_Action &b);
inline bool operator!=(const G_Action &a, const G_Action &b) { return !(a == b); }

// Destination types (OFD Dest@Type).
enum G_DestType { G_Dest_XYZ = 0, G_Dest_Fit = 1, G_Dest_FitH = 2, G_Dest_FitV = 3, G_Dest_FitR = 4 };

class G_Dest
{
public:
    int pageIndex = 0;
    uint32_t pageID = 0;
    // The four bounds in this declaration order.
    float left = 0;
    float right = 0;
    float top = 0;
    float bottom = 0;
    float zoom = 0;
    int type = G_Dest_XYZ;
    bool operator==(const G_Dest &o) const;
    bool operator!=(const G_Dest &o) const { return !(*this == o); }
};

class G_ActionGoto : public G_Action
{
public:
    G_ActionGoto() : G_Action(G_ActionType_Goto) {}
    G_Dest &Dest() { return m_dest; }
    const G_Dest &Dest() const { return m_dest; }
    void SetDest(const G_Dest &dest) { m_dest = dest; }
    CCA_String ToString() const override;
    bool FromString(const CCA_String &text) override;
    G_Action *Clone() const override { return new G_ActionGoto(*this); }
    bool Equals(const G_Action &other) const override;

private:
    G_Dest m_dest;
};

class G_ActionURI : public G_Action
{
public:
    G_ActionURI() : G_Action(G_ActionType_URI) {}
    const CCA_String &URI() const { return m_uri; }
    void SetURI(const CCA_String &uri) { m_uri = uri; }
    const CCA_String &Base() const { return m_base; }
    void SetBase(const CCA_String &base) { m_base = base; }
    const CCA_String &Target() const { return m_target; }
    void SetTarget(const CCA_String &target) { m_target = target; }
    CCA_String ToString() const override;
    bool FromString(const CCA_String &text) override;
    G_Action *Clone() const override { return new G_ActionURI(*this); }
    bool Equals(const G_Action &other) const override;

private:
    CCA_String m_uri;
    CCA_String m_base;
    CCA_String m_target;
};

class G_ActionGotoA : public G_Action
{
public:
    G_ActionGotoA() : G_Action(G_ActionType_GotoA) {}
    uint32_t AttachID() const { return m_attachID; }
    void SetAttachID(uint32_t id) { m_attachID = id; }
    bool NewWindow() const { return m_newWindow; }
    void SetNewWindow(bool newWindow) { m_newWindow = newWindow; }
    CCA_String ToString() const override;
    bool FromString(const CCA_String &text) override;
    G_Action *Clone() const override { return new G_ActionGotoA(*this); }
    bool Equals(const G_Action &other) const override;

private:
    uint32_t m_attachID = 0;
    bool m_newWindow = true;
};

class G_ActionSound : public G_Action
{
public:
    G_ActionSound() : G_Action(G_ActionType_Sound) {}
    uint32_t ResourceID() const { return m_resourceID; }
    void SetResourceID(uint32_t id) { m_resourceID = id; }
    int Volume() const { return m_volume; }
    void SetVolume(int volume) { m_volume = volume; }
    bool Repeat() const { return m_repeat; }
    void SetRepeat(bool repeat) { m_repeat = repeat; }
    bool Synchronous() const { return m_synchronous; }
    void SetSynchronous(bool synchronous) { m_synchronous = synchronous; }
    CCA_String ToString() const override;
    bool FromString(const CCA_String &text) override;
    G_Action *Clone() const override { return new G_ActionSound(*this); }
    bool Equals(const G_Action &other) const override;

private:
    uint32_t m_resourceID = 0;
    int m_volume = 100;
    bool m_repeat = false;
    bool m_synchronous = false;
};

class G_ActionMovie : public G_Action
{
public:
    enum Operator { Play = 0, Stop = 1, Pause = 2, Resume = 3 };
    G_ActionMovie() : G_Action(G_ActionType_Movie) {}
    uint32_t ResourceID() const { return m_resourceID; }
    void SetResourceID(uint32_t id) { m_resourceID = id; }
    int GetOperator() const { return m_operator; }
    void SetOperator(int op) { m_operator = op; }
    CCA_String ToString() const override;
    bool FromString(const CCA_String &text) override;
    G_Action *Clone() const override { return new G_ActionMovie(*this); }
    bool Equals(const G_Action &other) const override;

private:
    uint32_t m_resourceID = 0;
    int m_operator = Play;
};
