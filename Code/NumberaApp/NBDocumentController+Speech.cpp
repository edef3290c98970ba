// Speaking lines and answers through the system's speech engine, where there is one.
#include <QTextCursor>
#include <QTextDocument>

#include "NBDocumentController.h"
#include "NBSpeechText.h"
#include "NBTextAttachment.h"
#include "NBTextView.h"
#include "NBTextViewController.h"
#include "NBTextViewMetrics.h"
#include "NBWords.h"
#include "NCLineCollection.h"
#include "NSLocalizedString.h"

#if NUMBERA_HAVE_SPEECH
#include <QTextToSpeech>
#endif

bool NBDocumentController::speechAvailable() {
#if NUMBERA_HAVE_SPEECH
    // Without an engine plugin (speech-dispatcher's) nothing can speak.
    static const bool available = !QTextToSpeech::availableEngines().isEmpty();
    return available;
#else
    return false;
#endif
}

QString NBDocumentController::speechStringForKeyLines() const {
    std::vector<NBSpokenLine> lines;
    for (uint64_t index : keyOrSelectedLines().indexes()) {
        NBSpokenLine line;
        line.index = index;
        // A reference is spoken as the answer it shows.
        line.text = m_textViewController->detokenizedTextOfLine(index);
        line.answer = m_answerColumnController->formattedResultOnLine(index);
        lines.push_back(std::move(line));
    }
    // Symbols are spoken as the words of the operator lists ("×" as "times").
    return QString::fromStdU16String(speechStringForLines(lines, NBWords::speechWords(),
                                                          u" " + NSLocalizedString(u"is") + u" "));
}

bool NBDocumentController::isSpeaking() const {
#if NUMBERA_HAVE_SPEECH
    return m_speechSynthesizer && m_speechSynthesizer->state() == QTextToSpeech::Speaking;
#else
    return false;
#endif
}

#if NUMBERA_HAVE_SPEECH
namespace {
QTextToSpeech* synthesizer(QTextToSpeech*& kept, QObject* owner) {
    if (!kept) kept = new QTextToSpeech(owner);
    return kept;
}
}  // namespace
#endif

void NBDocumentController::startSpeaking() {
#if NUMBERA_HAVE_SPEECH
    if (!speechAvailable() || !m_textView) return;
    // The selected text, or all of it, as it reads: references as their answers.
    const QTextCursor selection = m_textView->textCursor();
    const int from = selection.hasSelection() ? selection.selectionStart() : 0;
    const int to = selection.hasSelection() ? selection.selectionEnd()
                                            : m_textView->document()->characterCount() - 1;
    synthesizer(m_speechSynthesizer, this)->stop();
    m_speechSynthesizer->say(QString::fromStdU16String(NBDetokenizedText(
        m_textView->document(), from, to, 1, m_textViewController->textAttachmentController())));
#endif
}

void NBDocumentController::speakSelectedLines() {
#if NUMBERA_HAVE_SPEECH
    if (!speechAvailable()) return;
    synthesizer(m_speechSynthesizer, this)->stop();
    m_speechSynthesizer->say(speechStringForKeyLines());
#endif
}

void NBDocumentController::speakAnswer(int tag) {
#if NUMBERA_HAVE_SPEECH
    if (!speechAvailable()) return;
    const int64_t line = tag == -1 ? m_keyLineNumber : tag;
    if (line < 0) return;
    synthesizer(m_speechSynthesizer, this)
        ->say(QString::fromStdU16String(
            m_answerColumnController->formattedResultOnLine(static_cast<uint64_t>(line))));
#else
    (void)tag;
#endif
}

void NBDocumentController::stopSpeech() {
#if NUMBERA_HAVE_SPEECH
    if (m_speechSynthesizer) m_speechSynthesizer->stop();
#endif
}
