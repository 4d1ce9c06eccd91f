#pragma once

#include "core/offcuts/offcut_store.h"
#include "core/plans/list_plan.h"
#include "core/schedule/cutting_list.h"

#include <QUndoCommand>

#include <optional>

// Where an edit took place, so that undoing or redoing it shows that place:
// the member, the row of that member and the column of the row table.
// -1 where none.
struct ListCursor {
    int member = -1;
    int row = -1;
    int column = 0;
};

// What accepting a plan does to the offcut store (余料库): the file and the
// offcuts taken and kept, applied with the plan and taken back with it.
struct OffcutChange {
    QString store; // the store's file
    offcuts::Delta delta;
};

// What the undoable steps below change: the list and its plan, put back or
// forward as they were, and the offcut store with the plan. The document
// implements it; the steps know nothing else of it.
class ListEditTarget {
public:
    virtual void apply(const schedule::CuttingList& list, const ListCursor& cursor) = 0;
    virtual void applyPlan(const std::optional<plans::ListPlan>& plan) = 0;
    virtual void applyOffcuts(const OffcutChange& change, bool forward) = 0;

protected:
    ~ListEditTarget() = default;
};

// One edit of the list, undone by putting the list back as it was. The
// lists share their unchanged members and rows, so keeping both is cheap.
class ListEdit : public QUndoCommand {
public:
    ListEdit(ListEditTarget* document, const QString& text, schedule::CuttingList before,
             schedule::CuttingList after, const ListCursor& cursorBefore,
             const ListCursor& cursorAfter);

    void undo() override;
    void redo() override;

private:
    ListEditTarget* m_document;
    schedule::CuttingList m_before;
    schedule::CuttingList m_after;
    ListCursor m_cursorBefore;
    ListCursor m_cursorAfter;
};

// A cutting plan made (or dropped), undone by putting back the plan there
// was. The list stays as it is. The offcuts the plan takes from the store
// and keeps in it go in and out with it, in the same step.
class PlanChange : public QUndoCommand {
public:
    PlanChange(ListEditTarget* document, const QString& text, std::optional<plans::ListPlan> before,
               std::optional<plans::ListPlan> after,
               std::optional<OffcutChange> offcuts = std::nullopt);

    void undo() override;
    void redo() override;

private:
    ListEditTarget* m_document;
    std::optional<plans::ListPlan> m_before;
    std::optional<plans::ListPlan> m_after;
    std::optional<OffcutChange> m_offcuts;
};
