// Members generated from their drawing: a beam from its flat-method
// annotation, a column from its storey and column tables, put into the list
// and changed through their windows, or detached into rows to edit by hand.

#include "ui/schedule/schedule_window.h"

#include "core/members/beam_bars.h"
#include "core/members/column_bars.h"
#include "ui/members/beam_window.h"
#include "ui/members/column_window.h"
#include "ui/schedule/list_table_model.h"

#include <QAction>

using schedule::CuttingList;

namespace {

// The window that edits a member's source, by the source's key.
QString kindName(const schedule::Member& member) {
    if (member.source.contains(QStringLiteral("column")))
        return QStringLiteral("柱平法");
    return QStringLiteral("梁平法");
}

// What a member of each kind needs: its window, how it becomes rows, how it
// is read back, and its number.
struct BeamKind {
    using Window = BeamWindow;
    using Value = members::BeamMember;
    static constexpr const char* key = "beam";
    static QString name() { return QStringLiteral("梁平法"); }
    static void prepare(Window* w, const CuttingList& list, const std::optional<Value>& editing) {
        members::BeamMember fresh;
        fresh.concrete = list.settings.concrete;
        fresh.seismic = list.settings.seismicGrade;
        w->setBeam(editing.value_or(fresh));
    }
    static Value value(const Window* w) { return w->beam(); }
    static schedule::Member member(const Window* w, int count) {
        return members::beamListMember(w->beam(), w->bars(), count);
    }
    static std::optional<Value> of(const schedule::Member& m) {
        return members::beamOfListMember(m);
    }
    static QString number(const Value& v) { return members::detailBeam(v).name; }
};

struct ColumnKind {
    using Window = ColumnWindow;
    using Value = members::ColumnMember;
    static constexpr const char* key = "column";
    static QString name() { return QStringLiteral("柱平法"); }
    static void prepare(Window* w, const CuttingList& list, const std::optional<Value>& editing) {
        members::ColumnMember fresh;
        fresh.concrete = list.settings.concrete;
        fresh.seismic = list.settings.seismicGrade;
        w->setColumn(editing.value_or(fresh));
    }
    static Value value(const Window* w) { return w->column(); }
    static schedule::Member member(const Window* w, int count) {
        return members::columnListMember(w->column(), w->bars(), count);
    }
    static std::optional<Value> of(const schedule::Member& m) {
        return members::columnOfListMember(m);
    }
    static QString number(const Value& v) { return v.mark; }
};

} // namespace

bool ScheduleWindow::refuseGeneratedRows() {
    const int m = m_rowModel->member();
    const auto& listMembers = m_document->list().members;
    if (m < 0 || m >= listMembers.size() || listMembers[m].source.isEmpty())
        return false;
    const QString kind = kindName(listMembers[m]);
    refuse(QStringLiteral("该构件的钢筋由%1生成：请用“构件 → %1”修改，或先“分离为普通钢筋行”")
               .arg(kind));
    return true;
}

// A new member of the kind after the current one, or the current one when
// it was generated from the kind; one undo step either way.
template <typename Kind> void ScheduleWindow::openGenerated() {
    const int current = m_rowModel->member();
    const auto& listMembers = m_document->list().members;
    std::optional<typename Kind::Value> editing;
    if (current >= 0 && current < listMembers.size() &&
        listMembers[current].source.contains(QLatin1String(Kind::key))) {
        editing = Kind::of(listMembers[current]);
        if (!editing) {
            refuse(QStringLiteral("该构件的生成来源无法读作%1，请先“分离为普通钢筋行”")
                       .arg(Kind::name()));
            return;
        }
    }
    auto* window = new typename Kind::Window(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setListSettings(m_document->list().settings);
    Kind::prepare(window, m_document->list(), editing);
    connect(window, &QDialog::accepted, this, [this, window, current, editing] {
        CuttingList list = m_document->list();
        if (editing && current < list.members.size()) {
            schedule::Member& m = list.members[current];
            // A name the user gave the member stays; its number follows the
            // drawing.
            const bool renamed = m.name != Kind::number(*editing);
            const QString name = m.name;
            m = Kind::member(window, m.count);
            if (renamed)
                m.name = name;
            m_document->change(QStringLiteral("修改%1 %2").arg(Kind::name(), m.name), list,
                               ListCursor{current, 0, 0}, cursor());
            showStatus(QStringLiteral("已按%1重新生成 %2，共 %3 行")
                           .arg(Kind::name(), m.name)
                           .arg(m.rows.size()));
            return;
        }
        const int position = current < 0 ? int(list.members.size()) : current + 1;
        const schedule::Member m = Kind::member(window, 1);
        list.members.insert(position, m);
        m_document->change(QStringLiteral("%1生成 %2").arg(Kind::name(), m.name), list,
                           ListCursor{position, 0, 0}, cursor());
        showStatus(
            QStringLiteral("已由%1生成 %2，共 %3 行").arg(Kind::name(), m.name).arg(m.rows.size()));
    });
    window->open();
}

void ScheduleWindow::openBeam() {
    openGenerated<BeamKind>();
}

void ScheduleWindow::openColumn() {
    openGenerated<ColumnKind>();
}

void ScheduleWindow::detachMember() {
    const int m = m_rowModel->member();
    CuttingList list = m_document->list();
    if (m < 0 || m >= list.members.size() || list.members[m].source.isEmpty()) {
        refuse(QStringLiteral("当前构件不是由梁平法或柱平法生成的，无需分离"));
        return;
    }
    list.members[m].source = {};
    m_document->change(QStringLiteral("分离为普通钢筋行"), list, ListCursor{m, 0, 0}, cursor());
    showStatus(QStringLiteral("%1 已分离为普通钢筋行，可逐行修改").arg(list.members[m].name));
}
