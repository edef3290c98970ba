#include "NBAnswerColumnController.h"

#include <QAction>
#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextDocument>
#include <cmath>

#include "NBAnswerColumnCell.h"
#include "NBAnswerColumnRules.h"
#include "NBAnswerPaletteController.h"
#include "NBAppResources.h"
#include "NBDocumentController.h"
#include "NBTextAttributes.h"
#include "NBTextViewController.h"
#include "NBTokenCell.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NSLocalizedString.h"
#include "PropertyListFile.h"

NBAnswerColumnController::NBAnswerColumnController(QObject* parent) : QObject(parent) {}

NBAnswerColumnController::~NBAnswerColumnController() {
    if (m_answersColumn && m_answersColumn->dataSource() == this)
        m_answersColumn->setDataSource(nullptr);
}

void NBAnswerColumnController::setAnswersColumn(NBAnswerColumnView* column) {
    if (column == m_answersColumn) return;
    if (m_answersColumn && m_answersColumn->dataSource() == this)
        m_answersColumn->setDataSource(nullptr);
    m_answersColumn = column;
    if (column) column->setDataSource(this);
    updateAnswerColumnFormatting();
}

void NBAnswerColumnController::setLineCollection(std::shared_ptr<NCLineCollection> lines) {
    m_lineCollection = std::move(lines);
    numberOfCellsHasChanged();
}

void NBAnswerColumnController::redrawAllCells() {
    if (m_answersColumn) m_answersColumn->reloadData();
}

void NBAnswerColumnController::numberOfCellsHasChanged() {
    if (m_answersColumn) m_answersColumn->noteNumberOfRowsChanged();
}

void NBAnswerColumnController::redrawCellAtIndex(uint64_t index) {
    const uint64_t count = m_lineCollection ? m_lineCollection->countOfLines() : 0;
    if (!answerColumnCanRedrawRow(index, count)) return;
    const QRectF rect = m_answersColumn ? m_answersColumn->rectOfRow(index) : QRectF();
    if (rect.isEmpty())
        redrawAllCells();
    else
        m_answersColumn->setNeedsDisplayInRect(rect);
}

void NBAnswerColumnController::redrawCellsAtIndexes(const NSIndexSet& indexes) {
    const uint64_t count = m_lineCollection ? m_lineCollection->countOfLines() : 0;
    indexes.enumerateIndexes([&](uint64_t index, bool&) {
        if (answerColumnCanRedrawRowOfSet(index, count)) redrawCellAtIndex(index);
    });
}

void NBAnswerColumnController::setAnswersVisible(bool visible) {
    m_answersVisible = visible;
    redrawAllCells();
    if (!visible) {
        if (m_answerPaletteController && m_answerPaletteController->paletteIsVisible())
            m_answerPaletteController->closeAnswerPaletteWithAnimation(true);
        // No info button offers the palette of an answer that is not shown.
        if (m_answerPaletteController) m_answerPaletteController->setShowsButtons(false);
        if (m_answersColumn) m_answersColumn->deselectAll();
        return;
    }
    if (!m_answerPaletteController) return;
    m_answerPaletteController->setShowsButtons(true);
    if (m_answerPaletteController->paletteIsVisible())
        m_answerPaletteController->updatePalettePosition();
}

NBAnswerPaletteController& NBAnswerColumnController::answerPaletteController() {
    if (!m_answerPaletteController)
        m_answerPaletteController = new NBAnswerPaletteController(*this);
    m_answerPaletteController->setup();
    return *m_answerPaletteController;
}

std::u16string NBAnswerColumnController::formattedResultOnLine(uint64_t index) const {
    std::shared_ptr<NCLine> line =
        m_lineCollection ? m_lineCollection->lineAtIndex(index) : nullptr;
    return line ? answerColumnFormattedResult(*line) : std::u16string();
}

std::u16string NBAnswerColumnController::unformattedResultOnLine(uint64_t index) const {
    std::shared_ptr<NCLine> line =
        m_lineCollection ? m_lineCollection->lineAtIndex(index) : nullptr;
    return line ? answerColumnUnformattedResult(*line) : std::u16string();
}

std::u16string NBAnswerColumnController::textOfSelectedResult() const {
    if (!m_answersColumn || m_answersColumn->selectedRow() < 0) return {};
    return formattedResultOnLine(static_cast<uint64_t>(m_answersColumn->selectedRow()));
}

void NBAnswerColumnController::updateAnswerColumnFormatting() {
    const QFont font = NBTextAttributes::defaultTextViewFont();
    registerAnswerColumnAttributes(NBAppResources::toU16(font.family()), font.pointSizeF());
    redrawAllCells();
}

uint64_t NBAnswerColumnController::numberOfRowsInAnswerColumn(NBAnswerColumnView&) {
    return m_lineCollection ? m_lineCollection->countOfLines() : 0;
}

NSAttributedString NBAnswerColumnController::objectValueForRow(NBAnswerColumnView& view,
                                                               uint64_t row) {
    return answerColumnRowContent(m_lineCollection.get(), row, m_answersVisible,
                                  view.isRowSelected(row));
}

double NBAnswerColumnController::heightOfRow(NBAnswerColumnView&, uint64_t row) {
    if (!m_delegate || !m_delegate->respondsToHeightForRowAtIndex()) return -1;
    return m_delegate->answerColumnControllerHeightForRowAtIndex(this, row);
}

void NBAnswerColumnController::willDisplayCell(NBAnswerColumnView& view, NBAnswerColumnCell& cell,
                                               uint64_t row) {
    if (!m_answersVisible) return;
    // The text leaves room for an info button on the row.
    cell.setInfoButtonVisible(m_answerPaletteController &&
                              m_answerPaletteController->buttonVisibileOnLine(row));
    cell.setIsCurrentLine(view.textView() && row == view.currentLine());
}

bool NBAnswerColumnController::shouldSelectRows(NBAnswerColumnView&) { return m_answersVisible; }

void NBAnswerColumnController::selectionDidChange(NBAnswerColumnView&) {
    if (m_delegate) m_delegate->answerColumnControllerSelectionDidChange(this);
}

// Clicks, drags and the context menu

namespace {

// Option is Alt; some window managers take Alt with the mouse for themselves, so Shift does too.
bool optionHeld(Qt::KeyboardModifiers modifiers) {
    return modifiers & (Qt::AltModifier | Qt::ShiftModifier);
}

QString localized(const char16_t* key) {
    return NBAppResources::toQString(NSLocalizedString(key))
        .replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

void NBAnswerColumnController::cellDoubleClicked(NBAnswerColumnView& view, int64_t row,
                                                 Qt::KeyboardModifiers modifiers) {
    if (row < 0 || !m_documentController) return;
    if (optionHeld(modifiers)) {
        // The answer of the row clicked, whichever rows Shift had already selected.
        m_documentController->insertOperatorAndText(
            QString::fromStdU16String(formattedResultOnLine(static_cast<uint64_t>(row))));
        return;
    }
    // Another row's double click inserts a relative reference to it; the current line cannot
    // refer to itself.
    if (static_cast<uint64_t>(row) == view.currentLine())
        QApplication::beep();
    else
        m_documentController->insertAnswerTokenReferringToLine(static_cast<uint64_t>(row));
}

QMimeData* NBAnswerColumnController::writeRowsWithIndexes(NBAnswerColumnView&,
                                                          const NSIndexSet& rows,
                                                          int64_t draggedRow,
                                                          Qt::KeyboardModifiers modifiers) {
    if (!m_answersVisible || rows.count() >= 2 || draggedRow < 0 || !m_lineCollection)
        return nullptr;
    std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(static_cast<uint64_t>(draggedRow));
    if (!line || !line->hasResultValue()) return nullptr;
    auto* data = new QMimeData;
    const QString text = QString::fromStdU16String(line->formattedResult().value_or(u""));
    if (!optionHeld(modifiers)) {
        PlistPtr list = PropertyListFile::dictionary();
        PropertyListFile::set(list.get(), "NBLineNumber", PropertyListFile::integer(draggedRow));
        PropertyListFile::set(list.get(), "NBRequestedTokenType",
                              PropertyListFile::integer(modifiers & Qt::ControlModifier ? 3 : 2));
        PropertyListFile::set(list.get(), kSourceDocumentKey,
                              PropertyListFile::string(
                                  QStringLiteral("%1")
                                      .arg(reinterpret_cast<quintptr>(m_documentController), 0, 16)
                                      .toStdString()));
        data->setData(QString::fromLatin1(NBTextAttachmentPboardType),
                      QByteArray::fromStdString(PropertyListFile::xmlData(list.get())));
    }
    data->setText(text);
    return data;
}

QPixmap NBAnswerColumnController::dragImageForRow(NBAnswerColumnView& view, int64_t row,
                                                  Qt::KeyboardModifiers modifiers) {
    if (row < 0) return {};
    const QString text =
        QString::fromStdU16String(formattedResultOnLine(static_cast<uint64_t>(row)));
    const QFont font = NBTextAttributes::defaultTextViewFont();
    // With Option plain text goes, drawn as text; otherwise the token the drop becomes.
    NBTokenCell token;
    token.setFont(font);
    token.setStringValue(text);
    token.setTokenStyle(modifiers & Qt::ControlModifier ? 1 : 0);
    const bool plain = optionHeld(modifiers);
    const QSizeF size = plain ? QFontMetricsF(font).size(0, text) : token.cellSize();
    const int grow = static_cast<int>(std::floor(size.height() * 0.1));
    const QSize image(static_cast<int>(std::ceil(size.width())) + 2 * grow,
                      static_cast<int>(std::ceil(size.height())) + 2 * grow);
    const qreal ratio = view.devicePixelRatioF();
    QPixmap cell(image * ratio);
    cell.setDevicePixelRatio(ratio);
    cell.fill(Qt::transparent);
    {
        QPainter painter(&cell);
        const QRectF frame(std::round((image.width() - size.width()) / 2),
                           std::round((image.height() - size.height()) / 2), size.width(),
                           size.height());
        if (plain) {
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(frame, Qt::AlignCenter, text);
        } else {
            token.drawWithFrame(painter, frame);
        }
    }
    // A second picture of the first, a little see-through, is what the pointer carries.
    QPixmap pixmap(image * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setOpacity(0.95);
    painter.drawPixmap(QPointF(0, 0), cell);
    return pixmap;
}

QMenu* NBAnswerColumnController::contextualMenuForRow(NBAnswerColumnView& view, int64_t row) {
    if (!m_answersVisible || row < 0 || !m_documentController) return nullptr;
    view.setFocus(Qt::PopupFocusReason);
    auto* menu = new QMenu;
    menu->setObjectName(QStringLiteral("answerColumnMenu"));
    NBDocumentController* document = m_documentController;
    const auto add = [&](const char16_t* title, const QString& command, int tag) {
        QAction* action = menu->addAction(localized(title));
        action->setObjectName(command);
        action->setData(tag);
        action->setEnabled(document->validateCommand(command, tag));
        connect(action, &QAction::triggered, document,
                [document, command, tag] { document->performCommand(command, tag); });
    };
    const uint64_t selected = view.selectedRowIndexes().count();
    const bool inSelection = view.isRowSelected(static_cast<uint64_t>(row));
    const int clicked = static_cast<int>(row);
    if (!inSelection || selected < 2) {
        add(u"Big Answer", QStringLiteral("showBigAnswer:"), clicked);
        add(u"Speak Answer", QStringLiteral("speakAnswer:"), clicked);
        if (document->validateCommand(QStringLiteral("stopSpeech:"), -1))
            add(u"Stop Speaking", QStringLiteral("stopSpeech:"), -1);
        menu->addSeparator();
    }
    const int tag = selected < 2 || !inSelection ? clicked : -1;
    add(u"Copy Result", QStringLiteral("copyResult:"), tag);
    add(u"Copy Raw Result", QStringLiteral("copyUnformattedResult:"), tag);
    add(u"Copy Expression & Result", QStringLiteral("copyExpressionAndResult:"), tag);
    return menu;
}

void NBAnswerColumnController::requestsCopy(NBAnswerColumnView&) {
    if (m_documentController)
        m_documentController->performCommand(QStringLiteral("copyResult:"), -1);
}
