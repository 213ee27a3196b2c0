#include "g_hostoperations.h"

#include "g_hosttools.h"
#include "gp_changehandler.h"
#include "gp_delannot.h"
#include "gp_linktooltoggle.h"
#include "gp_showannot.h"
#include "gp_toolbarbtnstate.h"
#include "gp_toolswitch.h"

#include <memory>
#include <vector>

namespace {

// Owns the host's prototypes for the whole process; the registry only refers to them.
struct HostOperations
{
    std::vector<std::unique_ptr<G_Operation>> prototypes;
};

Q_GLOBAL_STATIC(HostOperations, s_hostOperations)

} // namespace

void G_RegisterHostOperations()
{
    G_RegisterHostTools();
    if (s_hostOperations.isDestroyed())
        return;
    auto &prototypes = s_hostOperations->prototypes;
    if (prototypes.empty()) {
        prototypes.emplace_back(new GP_DelAnnot);
        prototypes.emplace_back(new GP_ShowAnnot);
        prototypes.emplace_back(new GP_ToolbarBtnState);
        prototypes.emplace_back(new GP_LinkToolToggle);
        prototypes.emplace_back(new GP_ChangeHandler);
        prototypes.emplace_back(new GP_ToolSwitch("t_handtool"));
        prototypes.emplace_back(new GP_ToolSwitch("gt_fullscreen"));
    }
    // A name another prototype has taken over meanwhile is left to it.
    for (const auto &prototype : prototypes) {
        if (!G_Operation::GlobalPrototype(QString::fromLatin1(prototype->Name())))
            prototype->RegisterToGlobal();
    }
}
