// Members generated from their drawing: a beam from its flat-method
// annotation, put into the list and changed through it, or detached into
// rows to edit by hand.

#include "ui/schedule/schedule_window.h"

#include "core/members/beam_bars.h"
#include "ui/members/beam_window.h"
#include "ui/schedule/list_table_model.h"

#include <QAction>

using schedule::CuttingList;

namespace {

const QString kGeneratedRows =
    QStringLiteral("该构件的钢筋由梁平法生成：请用“构件 → 梁平法”修改，或先“分离为普通钢筋行”");

} // namespace

bool ScheduleWindow::refuseGeneratedRows() {
    const int m = m_rowModel->member();
    const auto& listMembers = m_document->list().members;
    if (m < 0 || m >= listMembers.size() || listMembers[m].source.isEmpty())
        return false;
    refuse(kGeneratedRows);
    return true;
}

void ScheduleWindow::openBeam() {
    const int current = m_rowModel->member();
    const auto& listMembers = m_document->list().members;
    std::optional<members::BeamMember> editing;
    if (current >= 0 && current < listMembers.size()) {
        if (!listMembers[current].source.isEmpty()) {
            editing = members::beamOfListMember(listMembers[current]);
            if (!editing) {
                refuse(QStringLiteral("该构件的生成来源无法读作梁平法，请先“分离为普通钢筋行”"));
                return;
            }
        }
    }
    auto* window = new BeamWindow(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setListSettings(m_document->list().settings);
    if (editing)
        window->setBeam(*editing);
    else {
        // A new beam takes the list's concrete and seismic grades.
        members::BeamMember fresh;
        fresh.concrete = m_document->list().settings.concrete;
        fresh.seismic = m_document->list().settings.seismicGrade;
        window->setBeam(fresh);
    }
    connect(window, &QDialog::accepted, this, [this, window, current, editing] {
        CuttingList list = m_document->list();
        const members::BeamMember beam = window->beam();
        if (editing && current < list.members.size()) {
            schedule::Member& m = list.members[current];
            // A name the user gave the member stays; the beam's number
            // follows the annotation.
            const bool renamed = m.name != members::detailBeam(*editing).name;
            const QString name = m.name;
            m = members::beamListMember(beam, window->bars(), m.count);
            if (renamed)
                m.name = name;
            m_document->change(QStringLiteral("修改梁平法 %1").arg(m.name), list,
                               ListCursor{current, 0, 0}, cursor());
            showStatus(
                QStringLiteral("已按梁平法重新生成 %1，共 %2 行").arg(m.name).arg(m.rows.size()));
            return;
        }
        const int position = current < 0 ? int(list.members.size()) : current + 1;
        const schedule::Member m = members::beamListMember(beam, window->bars());
        list.members.insert(position, m);
        m_document->change(QStringLiteral("梁平法生成 %1").arg(m.name), list,
                           ListCursor{position, 0, 0}, cursor());
        showStatus(QStringLiteral("已由梁平法生成 %1，共 %2 行").arg(m.name).arg(m.rows.size()));
    });
    window->open();
}

void ScheduleWindow::detachMember() {
    const int m = m_rowModel->member();
    CuttingList list = m_document->list();
    if (m < 0 || m >= list.members.size() || list.members[m].source.isEmpty()) {
        refuse(QStringLiteral("当前构件不是由梁平法生成的，无需分离"));
        return;
    }
    list.members[m].source = {};
    m_document->change(QStringLiteral("分离为普通钢筋行"), list, ListCursor{m, 0, 0}, cursor());
    showStatus(QStringLiteral("%1 已分离为普通钢筋行，可逐行修改").arg(list.members[m].name));
}
