#include "fuzztargets.h"

#include "omofd/ofd_codec.h"
#include "omofdapi/g_action.h"
#include "omutility/omjsonfactory.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace {

// A broken promise of the code under test, reported as a crash.
void Require(bool condition)
{
    if (!condition)
        std::abort();
}

CCA_String Text(const uint8_t *data, size_t size)
{
    return CCA_String(std::string(reinterpret_cast<const char *>(data), size));
}

bool SameArray(const CCA_ArrayTemplate<float> &a, const CCA_ArrayTemplate<float> &b)
{
    if (a.GetSize() != b.GetSize())
        return false;
    for (int i = 0; i < a.GetSize(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

G_Action *NewAction(uint8_t kind)
{
    // In the order of the action types, from 1.
    switch (kind % 5) {
    case 0:
        return new G_ActionGoto;
    case 1:
        return new G_ActionURI;
    case 2:
        return new G_ActionSound;
    case 3:
        return new G_ActionMovie;
    default:
        return new G_ActionGotoA;
    }
}

} // namespace

int FuzzTextCodec(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const CCA_String text = Text(data + 1, size - 1);

    // What was read is written so that it reads back the same.
    bool ok = false;
    const CCA_Path path = OFD_StringToPath(text, &ok);
    if (ok) {
        bool again = false;
        Require(OFD_StringToPath(OFD_PathToString(path), &again) == path && again);
    }
    const CCA_ArrayTemplate<float> values = OFD_StringToArray(text, data[0] % 8, &ok);
    if (ok) {
        bool again = false;
        Require(SameArray(OFD_StringToArray(OFD_ArrayToString(values, 0), 0, &again), values) && again);
        OFD_ArrayToString(values, data[0] % 12);
    }
    return 0;
}

int FuzzActionJson(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const CCA_String text = Text(data + 1, size - 1);

    // The JSON text the factory writes reads back to the same text.
    if (const OMSharedPtr<OMJson> json = OMJsonFactory::ParseJsonString(text)) {
        const CCA_String written = OMJsonFactory::BuildJsonString(json);
        const OMSharedPtr<OMJson> reread = OMJsonFactory::ParseJsonString(written);
        Require(reread && OMJsonFactory::BuildJsonString(reread) == written);
    }

    // An action read from text is written so that a fresh action reads it back equal.
    std::unique_ptr<G_Action> action(NewAction(data[0]));
    if (action->FromString(text)) {
        std::unique_ptr<G_Action> fresh(NewAction(data[0]));
        Require(fresh->FromString(action->ToString()) && fresh->Equals(*action));
    }
    return 0;
}
