// The typing aids of the calculation text: spaces around typed operators (a space typed right
// after them is swallowed), closing brackets and quotation marks that wrap a selection, a
// reference to the line above in front of an operator that starts a new line, smart
// Backspace, the default operator, subtotal lines, the matching-brace flash and keystroke
// replacements. The kit's smart-editing helper decides; this applies its answers.
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "Diagnostics.h"
#include "MainQueue.h"
#include "NBMathKey.h"
#include "NBMathKeyFieldEditor.h"
#include "NBSyntaxHighlighter.h"
#include "NBTextViewController.h"
#include "NBTextViewMetrics.h"
#include "NCExpression.h"
#include "NCExpressionParser.h"
#include "NCExpressionScanner.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NKLineCollectionSyntaxFormatter.h"
#include "NKSmartEditingHelper.h"
#include "NSLocalizedString.h"
#include "QtSettings.h"
#include "Settings.h"

namespace {

bool setting(const char* key) {
    std::shared_ptr<Settings> settings = Settings::standard();
    return settings && settings->boolForKey(key);
}

constexpr NSTimeInterval kSmartSpaceExpiry = 0.5;

}  // namespace

void NBTextViewController::setupMacros() {
    m_postMacroActions.clear();
    NKSmartEditingHelper& helper = NKSmartEditingHelper::sharedHelper();
    helper.useSmartSpaces = setting("NBAddSpacesAroundOperators");
    helper.insertClosingBracket = setting("NBAddClosingBracket");
    helper.deleteSpacesWhenNecessary = setting("NBDeleteExcessSpaces");
    helper.insertClosingQuotationCharacter = setting("NBAddClosingQuotationMarks");
    helper.deleteEntireMultiCharacterTokens = false;
    helper.insertClosingQuotationCharacter = true;
    helper.whiteSpaceDeleteMode = 0;
    auto* settings = dynamic_cast<QtSettings*>(Settings::standard().get());
    if (!settings) return;
    settings->observe(QStringLiteral("NBAddClosingBracket"), this, [] {
        NKSmartEditingHelper::sharedHelper().insertClosingBracket = setting("NBAddClosingBracket");
    });
    settings->observe(QStringLiteral("NBAddClosingQuotationMarks"), this, [] {
        NKSmartEditingHelper::sharedHelper().insertClosingQuotationCharacter =
            setting("NBAddClosingQuotationMarks");
    });
    settings->observe(QStringLiteral("NBAddSpacesAroundOperators"), this, [] {
        NKSmartEditingHelper::sharedHelper().useSmartSpaces = setting("NBAddSpacesAroundOperators");
    });
    settings->observe(QStringLiteral("NBDeleteExcessSpaces"), this, [] {
        NKSmartEditingHelper::sharedHelper().deleteSpacesWhenNecessary =
            setting("NBDeleteExcessSpaces");
    });
}

NSRange NBTextViewController::selectionLocalToCurrentLine() const {
    const QTextCursor cursor = m_textView->textCursor();
    const QTextBlock block = m_textView->document()->findBlock(cursor.selectionStart());
    const int start = cursor.selectionStart() - block.position();
    const int end = std::min(cursor.selectionEnd(), block.position() + block.length() - 1);
    return {static_cast<uint64_t>(start),
            static_cast<uint64_t>(std::max(0, end - cursor.selectionStart()))};
}

std::shared_ptr<NCExpression> NBTextViewController::currentLineExpression() const {
    const QTextBlock block = m_textView->textCursor().block();
    // The line as the text holds it now, tokens as references.
    return NCExpression::expressionWithString(NBStoredTextOfBlock(block));
}

std::optional<std::u16string> NBTextViewController::stringForEvent(const QKeyEvent& event) const {
    if (!setting("NBMathKeyEnabled")) return std::nullopt;
    return NBMathKeyController::sharedInstance().stringForEvent(NBKeyEventFromKeyEvent(event));
}

bool NBTextViewController::textViewClaimsShortcut(const QKeyEvent& event) {
    return stringForEvent(event).has_value();
}

namespace {

// Shift, Ctrl, Alt and their kin arrive as presses of their own before the key they modify:
// they type nothing and change no typing state.
bool isModifierKey(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_Mode_switch:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool NBTextViewController::textViewKeyPress(QKeyEvent& event) {
    if (!m_textView || event.matches(QKeySequence::Undo) || event.matches(QKeySequence::Redo))
        return false;
    if (isModifierKey(event.key())) return false;
    if (isCompletionKey(event)) {
        complete();
        return true;
    }
    const bool afterNewline = m_lastKeyWasNewline;
    const int key = event.key();
    m_lastKeyWasNewline = false;
    m_lastKeyWasMoveRight = key == Qt::Key_Right && !(event.modifiers() & ~Qt::KeypadModifier);
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        removeHighlighting();
        const NSRange selection = m_textView->selectedRange();
        if (selection.length == 1 && textAttachmentAt(static_cast<int>(selection.location))) {
            showEditorForTextAttachment(static_cast<int>(selection.location));
            return true;
        }
        m_lastKeyWasNewline = true;
        return false;
    }
    if (key == Qt::Key_Backspace && !(event.modifiers() & ~Qt::KeypadModifier)) {
        removeHighlighting();
        return smartDelete();
    }
    if (std::optional<std::u16string> replacement = stringForEvent(event)) {
        if (!insertTypedString(*replacement)) insertText(QString::fromStdU16String(*replacement));
        return true;
    }
    const QString text = event.text();
    if (text.isEmpty() || !text.at(0).isPrint() ||
        (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    m_lastKeyWasNewline = afterNewline;
    std::u16string typed = text.toStdU16String();
    if (m_superscriptMode && raiseTypedText(typed)) {
        // Raised characters are text of their own: none of the aids applies to them.
        m_lastKeyWasNewline = false;
        insertText(QString::fromStdU16String(typed));
        return true;
    }
    if (stepOverInsertedClosingCharacter(typed)) {
        m_lastKeyWasNewline = false;
        return true;
    }
    const bool taken = insertTypedString(typed);
    m_lastKeyWasNewline = false;
    if (taken) insertTextFinished(typed);
    return taken;
}

bool NBTextViewController::raiseTypedText(std::u16string& typed) {
    static const std::u16string plain = u"0123456789+-\u2212";
    static const std::u16string raised =
        u"\u2070\u00B9\u00B2\u00B3\u2074\u2075\u2076\u2077\u2078\u2079\u207A\u207B\u207B";
    bool changed = false;
    for (char16_t& c : typed) {
        const size_t at = plain.find(c);
        if (at == std::u16string::npos) continue;
        c = raised[at];
        changed = true;
    }
    return changed;
}

void NBTextViewController::insertTextFinished(const std::u16string& typed) {
    // An operator ends what came before it: a line number typed there becomes a token now.
    if (!m_textView || m_answersAreJumped || !NCExpressionScanner::isOperator(typed)) return;
    if (m_textView->textCursor().hasSelection()) return;
    tokenizeLinesWithTextualLineReferences(
        NSIndexSet(static_cast<uint64_t>(m_textView->textCursor().blockNumber())), true);
}

bool NBTextViewController::stepOverInsertedClosingCharacter(const std::u16string& typed) {
    const QTextCursor caret = m_textView->textCursor();
    const QTextBlock block = caret.block();
    // Closers on lines the caret left, or whose character is gone, are the user's text now.
    std::erase_if(m_insertedClosers, [&](const InsertedCloser& closer) {
        return closer.cursor.isNull() || closer.cursor.block() != block ||
               closer.cursor.position() >= block.position() + block.length() - 1 ||
               m_textView->document()->characterAt(closer.cursor.position()) != closer.character;
    });
    if (typed.size() != 1 || caret.hasSelection()) return false;
    const QChar next = m_textView->document()->characterAt(caret.position());
    if (next != QChar(typed.front())) return false;
    const auto closer = std::find_if(m_insertedClosers.begin(), m_insertedClosers.end(),
                                     [&](const InsertedCloser& candidate) {
                                         return candidate.cursor.position() == caret.position();
                                     });
    if (closer == m_insertedClosers.end()) return false;
    m_insertedClosers.erase(closer);
    QTextCursor moved = caret;
    moved.movePosition(QTextCursor::NextCharacter);
    m_textView->setTextCursor(moved);
    return true;
}

bool NBTextViewController::insertTypedString(const std::u16string& typed) {
    if (!m_textView || !m_lineCollection) return false;
    const NSTimeInterval now = m_clock ? m_clock->now() : MainQueue::shared()->now();
    bool prevented = false;
    for (auto it = m_postMacroActions.begin(); it != m_postMacroActions.end();) {
        if (it->expiryDate <= now) {
            it = m_postMacroActions.erase(it);
            continue;
        }
        if (it->trigger == typed && it->preventsInput) prevented = true;
        if (it->smartTextAction == 1) {
            Diagnostics::error("Flashing character to the left");
            const int at = m_textView->textCursor().position();
            if (at > 0) {
                m_flashedBrace = NSRange{static_cast<uint64_t>(at - 1), 1};
                updateExtraSelections();
            }
        }
        if (!it->repeats)
            it = m_postMacroActions.erase(it);
        else
            ++it;
    }
    if (prevented) return true;
    std::optional<NBMacro> macro = macroForString(typed);
    if (!macro) return false;
    if (macro->postMacroAction) m_postMacroActions.push_back(*macro->postMacroAction);
    if (!macro->defaultsKey.empty() && !setting(macro->defaultsKey.c_str())) return false;
    applyMacro(*macro);
    return true;
}

void NBTextViewController::applyMacro(const NBMacro& macro) {
    const QTextCursor selection = m_textView->textCursor();
    const int start = selection.selectionStart();
    const int length = static_cast<int>(macro.newTextValue.displayString().size());
    replaceRangeWithTokenizedString(start, selection.selectionEnd(), macro.newTextValue);
    if (macro.insertsClosingCharacter && length >= 2 && macro.rangeChangeStyle == 2) {
        // The closer the aid put after the caret is stepped over when the user types it.
        QTextCursor closer(m_textView->document());
        closer.setPosition(start + length - 1);
        m_insertedClosers.push_back(
            {closer, m_textView->document()->characterAt(start + length - 1)});
    }
    QTextCursor cursor = m_textView->textCursor();
    if (macro.rangeChangeStyle == 1 && length >= 2) {
        cursor.setPosition(start + length - 2);
        cursor.setPosition(start + length - 1, QTextCursor::KeepAnchor);
    } else if (macro.rangeChangeStyle == 2 && length >= 1) {
        cursor.setPosition(start + length - 1);
    } else {
        cursor.setPosition(start + length);
    }
    m_textView->setTextCursor(cursor);
    m_textView->ensureCursorVisible();
}

namespace {

// The smart-spaces macro of an operator typed into an expression at a selection.
std::optional<NBMacro> smartSpacesMacro(const std::u16string& typed,
                                        const std::shared_ptr<NCExpression>& expression,
                                        NSRange selection, NSTimeInterval now) {
    const std::u16string spaced =
        NKSmartEditingHelper::sharedHelper().stringWithSpacesForInsertedOperator(typed, expression,
                                                                                 selection);
    NBMacro macro;
    macro.newTextValue.pieces.push_back({spaced, std::nullopt});
    macro.defaultsKey = "NBAddSpacesAroundOperators";
    if (spaced != typed && spaced.size() >= 2 && spaced.back() == u' ')
        macro.postMacroAction = NBPostMacroAction{u" ", true, 0, false, now + kSmartSpaceExpiry};
    return macro;
}

}  // namespace

std::optional<NBMacro> NBTextViewController::macroForString(const std::u16string& typed) {
    if (typed.empty() || !m_textView) return std::nullopt;
    const NSTimeInterval now = m_clock ? m_clock->now() : MainQueue::shared()->now();
    NKSmartEditingHelper& helper = NKSmartEditingHelper::sharedHelper();
    std::shared_ptr<NCExpressionToken> first = helper.expressionParser().tokenInString(typed, 0);
    const NCExpressionTokenType type = first ? first->type() : 0;
    const NCExpressionTokenSubType subType = first ? first->subType() : 0;
    const bool spaces = setting("NBAddSpacesAroundOperators");
    QTextCursor cursor = m_textView->textCursor();
    const QTextBlock block = m_textView->document()->findBlock(cursor.selectionStart());
    const bool oneLine = block == m_textView->document()->findBlock(cursor.selectionEnd());
    const bool quote = typed == u"\"";

    if ((subType == NCExpressionTokenSubTypeLeftBracket && setting("NBAddClosingBracket")) ||
        (quote && setting("NBAddClosingQuotationMarks"))) {
        std::shared_ptr<NCExpression> expression;
        NSRange selection;
        if (oneLine) {
            expression = currentLineExpression();
            selection = selectionLocalToCurrentLine();
        } else {
            // Across lines the helper sees the line up to the selection.
            QTextCursor before(block);
            before.setPosition(cursor.selectionStart(), QTextCursor::KeepAnchor);
            expression = NCExpression::expressionWithString(NBDetokenizedText(
                m_textView->document(), block.position(), cursor.selectionStart(), 0, nullptr));
            selection = {static_cast<uint64_t>(cursor.selectionStart() - block.position()), 0};
        }
        uint64_t location = 0;
        int64_t offset = 0;
        std::optional<std::u16string> closing =
            helper.closingCharacterForString(typed, expression, selection, &location, &offset);
        if (!closing || closing->empty()) return std::nullopt;
        NBMacro macro;
        macro.newTextValue.pieces.push_back({typed, std::nullopt});
        if (oneLine && cursor.hasSelection()) {
            // The selection is wrapped, its tokens kept.
            std::u16string selected = NBDetokenizedText(
                m_textView->document(), cursor.selectionStart(), cursor.selectionEnd(), 0, nullptr);
            std::u16string after = *closing;
            if (quote) {
                const size_t lineBreak = selected.find(u'\n');
                if (lineBreak != std::u16string::npos) {
                    selected.erase(lineBreak, 1);
                    after += u"\n";
                }
            }
            for (auto& piece :
                 NBTextAttachmentController::tokenizedStringFromExpressionString(selected).pieces)
                macro.newTextValue.pieces.push_back(std::move(piece));
            macro.newTextValue.pieces.push_back({after, std::nullopt});
        } else {
            macro.newTextValue.pieces.push_back({*closing, std::nullopt});
        }
        macro.rangeChangeStyle = offset == -1 ? 2 : 0;
        macro.insertsClosingCharacter = !(oneLine && cursor.hasSelection());
        return macro;
    }
    // "^" alone scans as a word (the power is read from the numbers around it), yet whoever
    // types it at the start of a line means the power of the answer above.
    const bool power = typed == u"^";
    if (type != NCExpressionTokenTypeAssignment && type != NCExpressionTokenTypeOperator && !power)
        return std::nullopt;

    if (setting("NBAddTokenToNewLine") && m_lastKeyWasNewline && !cursor.hasSelection() &&
        block.blockNumber() > 0 && cursor.position() == block.position() && typed != u"\u2013" &&
        m_lineCollection) {
        const uint64_t current = static_cast<uint64_t>(block.blockNumber());
        std::shared_ptr<NCLine> above = current - 1 < m_lineCollection->countOfLines()
                                            ? m_lineCollection->lineAtIndex(current - 1)
                                            : nullptr;
        if (above && above->hasResultValue()) {
            // An operator that starts a line works on the answer above.
            const std::u16string token = NCExpression::relativeLineReferenceTokenWithOffset(-1);
            NBMacro macro;
            macro.newTextValue =
                NBTextAttachmentController::tokenizedStringFromExpressionString(token);
            std::u16string operatorText = typed;
            if (spaces) {
                std::optional<NBMacro> spaced =
                    smartSpacesMacro(typed, NCExpression::expressionWithString(token), {1, 0}, now);
                operatorText = spaced->newTextValue.pieces.front().text;
                macro.postMacroAction = spaced->postMacroAction;
                macro.defaultsKey = spaced->defaultsKey;
            }
            macro.newTextValue.pieces.push_back({operatorText, std::nullopt});
            return macro;
        }
    }
    if (!spaces || power) return std::nullopt;
    return smartSpacesMacro(typed, currentLineExpression(), selectionLocalToCurrentLine(), now);
}

bool NBTextViewController::smartDelete() {
    if (!m_textView) return false;
    if (!((setting("NBAddSpacesAroundOperators") && setting("NBDeleteExcessSpaces")) ||
          setting("NBAddClosingBracket")))
        return false;
    const QTextCursor cursor = m_textView->textCursor();
    if (cursor.hasSelection()) return false;
    const QTextBlock block = cursor.block();
    const uint64_t length = static_cast<uint64_t>(block.length() - 1);
    if (length == 0) return false;
    const NSRange selection = selectionLocalToCurrentLine();
    std::shared_ptr<NCExpression> expression = currentLineExpression();
    NCExpressionParser parser;
    parser.useHighLevelLocations = true;
    std::shared_ptr<NCParsedExpression> parsed = parser.parseExpression(expression);
    if (!parsed) return false;
    const NSRange range =
        NKSmartEditingHelper::sharedHelper().rangeToDeleteOfExpression(*parsed, selection);
    if (range.location == NSNotFound) return false;
    // Location and length each within the text, and their sum too.
    if (range.location > length || range.length > length ||
        range.location + range.length > length) {
        Diagnostics::error("Total Screwup with the smart deleting range");
        return false;
    }
    if ((range.length == 1 && range.location + 1 == selection.location) ||
        (range.length == 0 && range.location == selection.location))
        return false;
    QTextCursor deletion(m_textView->document());
    deletion.setPosition(block.position() + static_cast<int>(range.location));
    deletion.setPosition(block.position() + static_cast<int>(range.location + range.length),
                         QTextCursor::KeepAnchor);
    deletion.removeSelectedText();
    m_textView->setTextCursor(deletion);
    return true;
}

bool NBTextViewController::insertDefaultOperator() {
    if (!m_textView) return false;
    const QTextCursor cursor = m_textView->textCursor();
    if (cursor.hasSelection() || m_textView->document()->isEmpty()) return false;
    std::optional<std::u16string> op =
        NKSmartEditingHelper::sharedHelper().defaultOperatorForLocation(
            selectionLocalToCurrentLine().location, currentLineExpression());
    if (!op || op->empty()) return false;
    insertText(QString::fromStdU16String(*op));
    return true;
}

void NBTextViewController::insertSubTotalLineForLines(const NSIndexSet& lines) {
    if (!m_textView) return;
    if (lines.count() < 2) {
        Diagnostics::errorf("Warning: %s [Line %d] Too few lines in set",
                            "-[NBTextViewController insertSubTotalLineForLines:]", __LINE__);
        return;
    }
    const int64_t below = static_cast<int64_t>(lines.lastIndex()) + 1;
    std::u16string text = u"\n" + NSLocalizedString(u"Subtotal: ");
    bool first = true;
    for (uint64_t index : lines.indexes()) {
        if (!first) text += u" + ";
        first = false;
        text +=
            NCExpression::relativeLineReferenceTokenWithOffset(static_cast<int64_t>(index) - below);
    }
    const QTextBlock last =
        m_textView->document()->findBlockByNumber(static_cast<int>(lines.lastIndex()));
    if (!last.isValid()) return;
    QTextCursor cursor(m_textView->document());
    cursor.setPosition(last.position() + last.length() - 1);
    m_textView->setTextCursor(cursor);
    insertTokenizedText(text);
}

std::optional<NSRange> NBTextViewController::rangeForMatchingBraceForOldSelectionPoint(
    NSRange oldSelection) {
    if (!m_textView) return std::nullopt;
    const QTextCursor cursor = m_textView->textCursor();
    if (cursor.hasSelection() || oldSelection.length != 0) return std::nullopt;
    const int64_t now = cursor.position();
    const int64_t before = static_cast<int64_t>(oldSelection.location);
    if (std::abs(now - before) != 1) return std::nullopt;
    const int64_t passed = now > before ? now - 1 : now;
    const QTextBlock block = m_textView->document()->findBlock(static_cast<int>(passed));
    const int64_t local = passed - block.position();
    if (m_textView->document()->characterAt(static_cast<int>(passed)) != QLatin1Char(')') ||
        local >= block.length() - 2)
        return std::nullopt;
    NCExpressionParser parser;
    NCExpressionTokenArray tokens;
    parser.findTokensInExpression(NCExpression::expressionWithString(NBStoredTextOfBlock(block)),
                                  static_cast<uint64_t>(local), 1, &tokens,
                                  static_cast<uint64_t>(local), true, true);
    int nesting = 1;
    for (const auto& token : tokens) {
        if (!token || token->type() != NCExpressionTokenTypeBracket) continue;
        if (token->subType() == NCExpressionTokenSubTypeRightBracket) ++nesting;
        if (token->subType() == NCExpressionTokenSubTypeLeftBracket) --nesting;
        if (nesting == 0) {
            NSRange range = token->highLevelRange();
            range.location += static_cast<uint64_t>(block.position());
            return range;
        }
    }
    return std::nullopt;
}

void NBTextViewController::flashMatchingBrace(NSRange oldSelection) {
    std::optional<NSRange> match = rangeForMatchingBraceForOldSelectionPoint(oldSelection);
    if (!match) return;
    m_flashedBrace = match;
    updateExtraSelections();
    if (!m_flashTimer) {
        m_flashTimer = new QTimer(this);
        m_flashTimer->setSingleShot(true);
        connect(m_flashTimer, &QTimer::timeout, this, [this] {
            m_flashedBrace.reset();
            updateExtraSelections();
        });
    }
    m_flashTimer->start(500);
}
