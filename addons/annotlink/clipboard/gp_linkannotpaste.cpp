#include "clipboard/gp_linkannotpaste.h"

#include "tool/gac_link.h"

GP_LinkAnnotPaste::GP_LinkAnnotPaste() = default;

GP_LinkAnnotPaste::~GP_LinkAnnotPaste()
{
    delete m_link;
}

G_Operation *GP_LinkAnnotPaste::Clone() const
{
    GP_LinkAnnotPaste *copy = new GP_LinkAnnotPaste;
    copy->CopyFrom(*this);
    return copy;
}

const char *GP_LinkAnnotPaste::Name() const
{
    return "d_annotlinkpaste";
}

int GP_LinkAnnotPaste::AuthorityType() const
{
    return 2;
}

int GP_LinkAnnotPaste::DoAction()
{
    return 0;
}
