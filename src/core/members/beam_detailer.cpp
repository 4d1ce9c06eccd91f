// A beam detailed into cutting-list rows, and the rows' roles named.

#include "core/members/beam_detailer.h"

namespace members {

using detail::Detailer;

BeamBars detailBeam(const BeamMember& beam) {
    Detailer d(beam);
    d.run();
    return d.out;
}

QString roleName(const QString& role) {
    static const QList<std::pair<const char*, const char*>> names{
        {"topContinuous", "上部通长筋"},
        {"supportTop1", "支座负筋（第一排）"},
        {"supportTop2", "支座负筋（第二排）"},
        {"cantileverTop", "悬挑上部筋（第一排）"},
        {"cantileverTop2", "悬挑上部筋（第二排）"},
        {"erection", "架立筋"},
        {"bottomContinuous", "下部通长筋"},
        {"bottom", "下部钢筋"},
        {"bottomShort", "下部钢筋（不伸入支座）"},
        {"cantileverBottom", "悬挑下部筋"},
        {"sideG", "侧面构造筋"},
        {"sideN", "侧面抗扭筋"},
        {"stirrup", "箍筋"},
        {"stirrupInner", "箍筋（内箍）"},
        {"stirrupTie", "箍筋（单肢）"},
        {"tie", "拉筋"},
        {"cantileverStirrup", "悬挑箍筋"},
    };
    for (const auto& [code, name] : names)
        if (role == QLatin1String(code))
            return QString::fromUtf8(name);
    return role;
}

} // namespace members
