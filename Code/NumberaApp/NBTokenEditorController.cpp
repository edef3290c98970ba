#include "NBTokenEditorController.h"

#include <QButtonGroup>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QResizeEvent>
#include <QScreen>
#include <QToolButton>
#include <algorithm>

#include "NSLocalizedString.h"

namespace {

QString localized(const char16_t* key) { return QString::fromStdU16String(NSLocalizedString(key)); }

constexpr int kPointerHeight = 8;

}  // namespace

NBTokenReferenceField::NBTokenReferenceField(QWidget* parent) : QSpinBox(parent) {
    setObjectName(QStringLiteral("referenceField"));
    setRange(-9999999, 9999999);
    setKeyboardTracking(false);
    setAccelerated(false);
}

void NBTokenReferenceField::stepBy(int steps) {
    if (onStep)
        onStep(steps);
    else
        QSpinBox::stepBy(steps);
}

NBTokenEditor::NBTokenEditor(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("tokenEditor"));
    setWindowTitle(localized(u"Token Editor"));
}

void NBTokenEditor::setPointer(int x, bool up) {
    if (x == m_pointerX && up == m_pointerUp) return;
    m_pointerX = x;
    m_pointerUp = up;
    updateMask();
    update();
}

QPainterPath NBTokenEditor::shape() const {
    const QRectF body = m_pointerUp
                            ? QRectF(rect()).adjusted(0.5, kPointerHeight + 0.5, -0.5, -0.5)
                            : QRectF(rect()).adjusted(0.5, 0.5, -0.5, -kPointerHeight - 0.5);
    QPainterPath shape;
    shape.addRoundedRect(body, 6, 6);
    const double middle = m_pointerX < 0 ? width() / 2.0 : m_pointerX;
    const double base = m_pointerUp ? body.top() : body.bottom();
    const double tip = m_pointerUp ? 0.5 : height() - 0.5;
    QPainterPath pointer;
    pointer.moveTo(middle - kPointerHeight, base);
    pointer.lineTo(middle, tip);
    pointer.lineTo(middle + kPointerHeight, base);
    pointer.closeSubpath();
    return shape.united(pointer);
}

void NBTokenEditor::updateMask() {
    // Grown by a pixel so that the antialiased stroke stays inside.
    QPainterPathStroker grow;
    grow.setWidth(2);
    setMask(QRegion(shape().united(grow.createStroke(shape())).toFillPolygon().toPolygon()));
}

void NBTokenEditor::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateMask();
}

bool NBTokenEditor::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && isVisible() && onResignKey) onResignKey();
    return QWidget::event(event);
}

void NBTokenEditor::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
         event->key() == Qt::Key_Enter) &&
        onEscape) {
        onEscape();
        return;
    }
    QWidget::keyPressEvent(event);
}

void NBTokenEditor::paintEvent(QPaintEvent*) {
    // A pointed pop-up, the pointer at the token.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = this->shape();
    painter.fillPath(shape, palette().window());
    painter.setPen(QPen(palette().mid().color(), 1));
    painter.drawPath(shape);
}

NBTokenEditorController::NBTokenEditorController(QObject* parent) : QObject(parent) {}

NBTokenEditorController::~NBTokenEditorController() {
    if (m_editor) delete m_editor.data();
}

void NBTokenEditorController::makeEditor() {
    if (m_editor) return;
    m_editor = new NBTokenEditor();
    auto* layout = new QHBoxLayout(m_editor);
    layout->setContentsMargins(9, kPointerHeight + 7, 9, 7);
    layout->setSpacing(0);
    m_lineButton = new QToolButton(m_editor);
    m_lineButton->setText(localized(u"Reference Type Line"));
    m_lineButton->setObjectName(QStringLiteral("referenceTypeLine"));
    m_offsetButton = new QToolButton(m_editor);
    m_offsetButton->setText(localized(u"Reference Type Offset"));
    m_offsetButton->setObjectName(QStringLiteral("referenceTypeOffset"));
    m_typeGroup = new QButtonGroup(m_editor);
    for (QToolButton* button : {m_lineButton, m_offsetButton}) {
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(button);
    }
    m_typeGroup->addButton(m_lineButton, NKLineReferenceTokenTypeByLine);
    m_typeGroup->addButton(m_offsetButton, NKLineReferenceTokenTypeByOffset);
    m_typeGroup->setExclusive(true);
    layout->addSpacing(6);
    m_offsetLabel = new QLabel(m_editor);
    m_offsetLabel->setObjectName(QStringLiteral("offsetLabel"));
    layout->addWidget(m_offsetLabel);
    layout->addSpacing(4);
    m_field = new NBTokenReferenceField(m_editor);
    m_field->setMinimumWidth(70);
    layout->addWidget(m_field);
    m_field->onStep = [this](int steps) { stepperAction(steps); };
    connect(m_typeGroup, &QButtonGroup::idClicked, this,
            [this](int id) { setTextAttachmentType(id); });
    connect(m_field, &QSpinBox::valueChanged, this, [this](int value) {
        if (!m_refreshing) setReferenceIndex(value);
    });
    m_editor->onEscape = [this] { save(); };
    m_editor->onResignKey = [this] { save(); };
    m_editor->adjustSize();
}

void NBTokenEditorController::displayEditorForToken(const NBTextAttachment& attachment,
                                                    int position, uint64_t onLine,
                                                    const QPoint& globalPoint, QWidget* view,
                                                    int tokenHeight) {
    makeEditor();
    if (view && m_editor->parentWidget() != view->window()) {
        m_editor->setParent(view->window(), m_editor->windowFlags());
    }
    m_attachment = attachment;
    m_revertState = attachment;
    m_position = position;
    m_tokenLineIndex = onLine;
    refreshShownIndex();
    relabel();
    m_editor->adjustSize();
    QScreen* screen = view ? view->screen() : nullptr;
    if (QScreen* at = QGuiApplication::screenAt(globalPoint)) screen = at;
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const QSize size = m_editor->size();
    QPoint origin = globalPoint - QPoint(size.width() / 2, 0);
    bool pointerUp = true;
    if (area.isValid()) {
        origin.setX(std::clamp(origin.x(), area.left(),
                               std::max(area.left(), area.right() + 1 - size.width())));
        if (origin.y() + size.height() > area.bottom() + 1) {
            origin.setY(globalPoint.y() - tokenHeight - size.height());
            pointerUp = false;
        }
        origin.setY(std::clamp(origin.y(), area.top(),
                               std::max(area.top(), area.bottom() + 1 - size.height())));
    }
    // The pointer keeps to the straight part of the edge, as near the token as that allows.
    const int inset = 6 + kPointerHeight;
    m_editor->setPointer(
        std::clamp(globalPoint.x() - origin.x(), inset, std::max(inset, size.width() - inset)),
        pointerUp);
    m_editor->move(origin);
    if (!m_editor->isVisible()) {
        m_editor->show();
        m_editor->raise();
        m_editor->activateWindow();
    }
    m_field->setFocus();
    m_field->selectAll();
}

void NBTokenEditorController::hideTokenEditor() {
    if (!m_editor || !m_editor->isVisible()) return;
    QWidget* parent = m_editor->parentWidget();
    m_editor->hide();
    if (parent) parent->activateWindow();
    m_position = -1;
}

bool NBTokenEditorController::editorIsVisible() const { return m_editor && m_editor->isVisible(); }

void NBTokenEditorController::save() {
    if (!editorIsVisible()) return;
    if (m_referenceIndex == 0) {
        cancel();
        return;
    }
    if (m_delegate) m_delegate->tokenEditorDidFinishEditingToken(*this);
}

void NBTokenEditorController::cancel() {
    if (!editorIsVisible()) return;
    const NBTextAttachment current = m_attachment;
    m_attachment = m_revertState;
    if (m_delegate && (current.type != m_attachment.type ||
                       current.referenceIndex != m_attachment.referenceIndex))
        m_delegate->tokenEditorDidModifyType(*this, current.type, m_attachment.type);
    if (m_delegate) m_delegate->tokenEditorDidFinishEditingToken(*this);
}

void NBTokenEditorController::refreshShownIndex() {
    if (m_attachment.type == NKLineReferenceTokenTypeByOffset)
        m_referenceIndex = m_attachment.referenceIndex;
    else if (m_attachment.type == NKLineReferenceTokenTypeByLine)
        m_referenceIndex = absoluteLineIndexForOffset(m_attachment.referenceIndex) + 1;
    if (!m_field) return;
    m_refreshing = true;
    m_field->setMinimum(m_attachment.type == NKLineReferenceTokenTypeByLine ? 1 : -9999999);
    m_field->setValue(static_cast<int>(m_referenceIndex));
    m_refreshing = false;
}

void NBTokenEditorController::relabel() {
    if (!m_offsetLabel) return;
    m_refreshing = true;
    if (QAbstractButton* button = m_typeGroup->button(m_attachment.type)) button->setChecked(true);
    m_refreshing = false;
    if (m_attachment.type == NKLineReferenceTokenTypeByLine)
        m_offsetLabel->setText(localized(u"Line") + QStringLiteral(":"));
    else if (m_attachment.type == NKLineReferenceTokenTypeByOffset)
        m_offsetLabel->setText(localized(u"Offset") + QStringLiteral(":"));
    else
        m_offsetLabel->clear();
}

void NBTokenEditorController::setTextAttachmentType(int32_t type) {
    if (type == m_attachment.type) return;
    const int32_t old = m_attachment.type;
    m_attachment.type = type;
    relabel();
    refreshShownIndex();
    if (m_delegate) m_delegate->tokenEditorDidModifyType(*this, old, type);
}

void NBTokenEditorController::setReferenceIndex(int64_t value) {
    m_referenceIndex = value;
    // Line numbers start at 1 and an offset of 0 would be the token's own line.
    if (value == 0) return;
    const int64_t old = m_attachment.referenceIndex;
    if (m_attachment.type == NKLineReferenceTokenTypeByOffset) {
        m_attachment.referenceIndex = value;
    } else if (m_attachment.type == NKLineReferenceTokenTypeByLine) {
        if (value < 1 || value - 1 == static_cast<int64_t>(m_tokenLineIndex)) return;
        m_attachment.referenceIndex = offsetForAbsoluteLineIndex(value - 1);
    } else {
        return;
    }
    if (old != m_attachment.referenceIndex && m_delegate)
        m_delegate->tokenEditorDidModifyReferenceIndex(*this, old, m_attachment.referenceIndex);
}

void NBTokenEditorController::stepperAction(int steps) {
    int64_t value = m_referenceIndex + steps;
    if (m_attachment.type == NKLineReferenceTokenTypeByOffset) {
        if (value == 0) value = m_attachment.referenceIndex < 0 ? 1 : -1;
    } else if (m_attachment.type == NKLineReferenceTokenTypeByLine) {
        const int64_t own = static_cast<int64_t>(m_tokenLineIndex) + 1;
        if (value < 1) value = 1;
        if (value == own) {
            const bool above = m_attachment.referenceIndex < 0;
            value = above ? own + 1 : own - 1;
            if (value < 1) value = own + 1;
        }
    }
    m_refreshing = true;
    if (m_field) m_field->setValue(static_cast<int>(value));
    m_refreshing = false;
    setReferenceIndex(value);
}
