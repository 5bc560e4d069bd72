#include "link/HamlibRigModels.h"

#include "link/HamlibGlobal.h"

#include <hamlib/rig.h>

#include <algorithm>
#include <cctype>

namespace {

std::string Folded(const std::string& s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

int Collect(const struct rig_caps* caps, rig_ptr_t data)
{
    auto* out = static_cast<std::vector<RigModelInfo>*>(data);
    if (caps)
        out->push_back({static_cast<int>(caps->rig_model), caps->mfg_name ? caps->mfg_name : "",
                        caps->model_name ? caps->model_name : ""});
    return 1;   // go on
}

}  // namespace

void SortRigModels(std::vector<RigModelInfo>& models)
{
    std::stable_sort(models.begin(), models.end(), [](const RigModelInfo& a, const RigModelInfo& b) {
        const std::string am = Folded(a.manufacturer), bm = Folded(b.manufacturer);
        if (am != bm)
            return am < bm;
        const std::string an = Folded(a.name), bn = Folded(b.name);
        return an != bn ? an < bn : a.model < b.model;
    });
}

const std::vector<RigModelInfo>& HamlibRigModels()
{
    static const std::vector<RigModelInfo> models = [] {
        std::vector<RigModelInfo> out;
        MutexLock lock(HamlibGlobalMutex());
        QuietHamlib();
        rig_load_all_backends();
        rig_list_foreach(&Collect, &out);
        SortRigModels(out);
        return out;
    }();
    return models;
}
