// An undoable panel edit made of two actions. An edit already applied when it is recorded
// (because applying it was how it was checked) skips the stack's first redo.
#ifndef NUMBERA_APP_NB_PANEL_UNDO_COMMAND_H
#define NUMBERA_APP_NB_PANEL_UNDO_COMMAND_H

#include <QUndoCommand>
#include <functional>
#include <utility>

class NBPanelUndoCommand : public QUndoCommand {
  public:
    NBPanelUndoCommand(const QString& name, std::function<void()> redoAction,
                       std::function<void()> undoAction, bool alreadyApplied = false)
        : QUndoCommand(name),
          m_redo(std::move(redoAction)),
          m_undo(std::move(undoAction)),
          m_skipRedo(alreadyApplied) {}

    void redo() override {
        if (m_skipRedo) {
            m_skipRedo = false;
            return;
        }
        m_redo();
    }
    void undo() override { m_undo(); }

  private:
    std::function<void()> m_redo;
    std::function<void()> m_undo;
    bool m_skipRedo;
};

#endif
