#pragma once

#include "schedule/list_document.h"

#include <QUndoCommand>

// One edit of the list, undone by putting the list back as it was. The
// lists share their unchanged members and rows, so keeping both is cheap.
class ListEdit : public QUndoCommand {
public:
    ListEdit(ListDocument* document, const QString& text, schedule::CuttingList before,
             schedule::CuttingList after, const ListCursor& cursorBefore,
             const ListCursor& cursorAfter);

    void undo() override;
    void redo() override;

private:
    ListDocument* m_document;
    schedule::CuttingList m_before;
    schedule::CuttingList m_after;
    ListCursor m_cursorBefore;
    ListCursor m_cursorAfter;
};

// A cutting plan made (or dropped), undone by putting back the plan there
// was. The list stays as it is.
class PlanChange : public QUndoCommand {
public:
    PlanChange(ListDocument* document, const QString& text, std::optional<plans::ListPlan> before,
               std::optional<plans::ListPlan> after);

    void undo() override;
    void redo() override;

private:
    ListDocument* m_document;
    std::optional<plans::ListPlan> m_before;
    std::optional<plans::ListPlan> m_after;
};
