#include "ui/editable_list.h"

#include <QKeyEvent>
#include <QScrollBar>

namespace kx700::ui {

CEditHelper::CEditHelper(CEditableListBox* list) : QLineEdit(list->viewport()) {
    setFrame(true);
    setFont(list->font());
    setStyleSheet(QStringLiteral("QLineEdit { color: black; background: white; border: 2px inset rgb(120,120,120); }"));
}

void CEditHelper::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT cancelRequested();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;  // committed on release
    QLineEdit::keyPressEvent(event);
}

void CEditHelper::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT commitRequested();
        return;
    }
    QLineEdit::keyReleaseEvent(event);
}

void CEditHelper::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A popup of our own (the context menu of the edit box) is not leaving.
    if (event->reason() != Qt::PopupFocusReason) Q_EMIT commitRequested();
}

CEditableListBox::CEditableListBox(QWidget* parent) : QListWidget(parent) {
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (editor_) closeEditor(true);
    });
}

CEditableListBox::~CEditableListBox() {
    // Destroying the list must not report an edit to an owner that may be
    // going away too.
    closing_ = true;
    if (editor_) {
        editor_->blockSignals(true);
        delete editor_.data();
    }
}

void CEditableListBox::sendCharCode1() {
    lastCharWasCode1_ = true;
    if (currentItem() && currentItem()->isSelected()) openEditor();
}

void CEditableListBox::keyPressEvent(QKeyEvent* event) {
    if (event->text() == QStringLiteral("\x01")) {
        sendCharCode1();
        return;
    }
    if (!event->text().isEmpty()) lastCharWasCode1_ = false;
    QListWidget::keyPressEvent(event);
}

void CEditableListBox::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton && lastCharWasCode1_) {
        QListWidgetItem* under = itemAt(event->position().toPoint());
        if (under && under == currentItem()) openEditor();
    }
}

void CEditableListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) return;
    QListWidgetItem* under = itemAt(event->position().toPoint());
    if (!under) return;
    setCurrentItem(under);
    if (editOnDoubleClick_) {
        openEditor();
    } else {
        Q_EMIT rowDoubleClicked(row(under));
    }
}

void CEditableListBox::resizeEvent(QResizeEvent* event) {
    if (editor_) closeEditor(true);
    QListWidget::resizeEvent(event);
}

void CEditableListBox::openEditor() {
    lastCharWasCode1_ = false;
    QListWidgetItem* item = currentItem();
    if (!item) return;
    if (editor_) closeEditor(true);
    editRow_ = row(item);
    scrollToItem(item);
    auto* e = new CEditHelper(this);
    editor_ = e;
    const QRect r = visualItemRect(item).adjusted(0, -2, 0, 2);
    e->setGeometry(r);
    e->setText(item->text());
    e->selectAll();
    connect(e, &CEditHelper::commitRequested, this, [this] { closeEditor(true); });
    connect(e, &CEditHelper::cancelRequested, this, [this] { closeEditor(false); });
    e->show();
    e->setFocus(Qt::OtherFocusReason);
}

void CEditableListBox::closeEditor(bool commit) {
    if (!editor_ || closing_) return;
    closing_ = true;
    CEditHelper* e = editor_;
    editor_.clear();
    const QString text = e->text();
    e->hide();
    e->deleteLater();  // we may be inside one of its own handlers
    if (commit && editRow_ >= 0 && editRow_ < count() && item(editRow_)->text() != text) {
        item(editRow_)->setText(text);
        setCurrentRow(editRow_);
    }
    editRow_ = -1;
    closing_ = false;
    Q_EMIT editEnded(this);
}

}  // namespace kx700::ui
