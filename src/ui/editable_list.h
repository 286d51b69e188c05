#pragma once

// A list box whose items can be edited in place. The program (or a typed
// Ctrl+A) sends it the character code 1 to open the editor on the selected
// item; Enter, leaving the editor, scrolling or resizing the list commit,
// Escape cancels, and every close tells the owner through editEnded.

#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

namespace kx700::ui {

class CEditableListBox;

// The in-place editor: a sunken edit box over the item.
class CEditHelper : public QLineEdit {
    Q_OBJECT
public:
    explicit CEditHelper(CEditableListBox* list);

Q_SIGNALS:
    void commitRequested();
    void cancelRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

class CEditableListBox : public QListWidget {
    Q_OBJECT
public:
    explicit CEditableListBox(QWidget* parent = nullptr);
    ~CEditableListBox() override;

    // What the character code 1 does: opens the editor on the selected
    // item, or remembers the code for a right-button release over it.
    void sendCharCode1();
    bool isEditing() const { return editor_ != nullptr; }
    CEditHelper* editor() const { return editor_; }
    // Closes an open editor: committed (the text replaces the item when it
    // differs) or cancelled; editEnded follows either way.
    void closeEditor(bool commit);
    // A double-click on an item opens the editor on it (the macro list).
    void setEditOnDoubleClick(bool on) { editOnDoubleClick_ = on; }

Q_SIGNALS:
    void editEnded(CEditableListBox* list);
    // A double-click on an item (selected by then).
    void rowDoubleClicked(int row);

protected:
    // The item view's own closeEditor slot stays as it is beside ours; the
    // one-argument form is the list's, the two-argument form the view's.
    using QListWidget::closeEditor;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void openEditor();

    QPointer<CEditHelper> editor_;
    int editRow_ = -1;
    bool lastCharWasCode1_ = false;
    bool editOnDoubleClick_ = false;
    bool closing_ = false;
};

}  // namespace kx700::ui
