// The export sheet of a document window: a format pop-up (PDF, HTML, CSV, Text, RTF, Mail),
// for the formats with options a row of switches over a preview of the HTML page, and Save,
// which opens the save panel for the format or hands the document to mail. The keys 1 to 5
// choose PDF to RTF. The title, date and syntax-colouring switches are remembered in the user
// defaults; line numbers and statistic follow the window each time.
#ifndef NUMBERA_APP_NB_EXPORT_WINDOW_CONTROLLER_H
#define NUMBERA_APP_NB_EXPORT_WINDOW_CONTROLLER_H

#include <QDialog>
#include <QFileDialog>
#include <QObject>
#include <QPointer>
#include <memory>

#include "NBExportHelper.h"

class NCLineCollection;
class NBKeyForwardingWindow;
class QCheckBox;
class QComboBox;

class QKeyEvent;
class QLabel;
class QTextBrowser;

struct NBKeyForwardingWindowDelegate {
    virtual ~NBKeyForwardingWindowDelegate() = default;
    // True when the key was used; the window's own handling runs otherwise.
    virtual bool window(NBKeyForwardingWindow& window, QKeyEvent& event) = 0;
};

// A sheet that offers every key press to its delegate before any of its controls sees it.
class NBKeyForwardingWindow : public QDialog {
    Q_OBJECT

  public:
    explicit NBKeyForwardingWindow(QWidget* parent = nullptr);
    ~NBKeyForwardingWindow() override;
    void setDelegate(NBKeyForwardingWindowDelegate* delegate) { m_delegate = delegate; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    NBKeyForwardingWindowDelegate* m_delegate = nullptr;
};

class NBExportWindowController : public QObject, public NBKeyForwardingWindowDelegate {
    Q_OBJECT

  public:
    explicit NBExportWindowController(QObject* parent = nullptr);
    ~NBExportWindowController() override;

    const std::shared_ptr<NBExportHelper>& exportHelper() const { return m_exportHelper; }
    // Takes the helper's switches into the sheet without writing the user defaults.
    void setExportHelper(std::shared_ptr<NBExportHelper> helper);
    void setLineCollection(std::shared_ptr<NCLineCollection> lines) {
        m_lineCollection = std::move(lines);
    }
    // The document window the sheet and the save panel are modal to; not owned.
    void setParentWindow(QWidget* window) { m_parentWindow = window; }

    int32_t selectedExportFormat() const { return m_selectedExportFormat; }
    void setSelectedExportFormat(int32_t format);

    bool showsTitle() const { return m_showsTitle; }
    bool showsDate() const { return m_showsDate; }
    bool showsLineNumbers() const { return m_showsLineNumbers; }
    bool showsStatistic() const { return m_showsStatistic; }
    bool wantsSyntaxColoring() const { return m_wantsSyntaxColoring; }
    void setShowsTitle(bool on);
    void setShowsDate(bool on);
    void setShowsLineNumbers(bool on);
    void setShowsStatistic(bool on);
    void setWantsSyntaxColoring(bool on);

    // Opens the sheet on the parent window.
    void openSheet();
    void cancel();
    // Closes the sheet, then mails (format 5) or opens the save panel.
    void save();
    // The save panel for the format, proposing the document's title; on confirmation writes
    // the file and, when that worked, remembers the format in "NBDefaultExportFormat". A
    // failure is shown in an alert on the parent window.
    void displaySaveSheetForFormat(int32_t format);
    // What confirming the save panel does with its path.
    bool saveToPath(const QString& path, bool hideExtension);
    // The document hands its controller over before it goes.
    void endLife();

    // The sheet, the save panel and the last alert, while they exist.
    NBKeyForwardingWindow* sheet() const { return m_window; }
    QFileDialog* savePanel() const { return m_savePanel; }
    QWidget* alert() const { return m_alert; }
    QWidget* optionsView() const;
    QTextBrowser* preview() const;

    // Shows an alert about a failed export on the window.
    static QWidget* showFailure(QWidget* window, const QString& message, const QString& reason);

    // NBKeyForwardingWindowDelegate: the digits 1 to 5 choose PDF to RTF.
    bool window(NBKeyForwardingWindow& window, QKeyEvent& event) override;

  private:
    void loadWindow();
    void awakeFromNib();
    void flagDidChange(const char* defaultsKey, bool value);
    void updateOptionsView();
    void reloadPreview();
    void syncControls();

    std::shared_ptr<NBExportHelper> m_exportHelper;
    std::shared_ptr<NCLineCollection> m_lineCollection;
    QPointer<QWidget> m_parentWindow;
    int32_t m_selectedExportFormat = 0;
    bool m_showsTitle = false;
    bool m_showsDate = false;
    bool m_showsLineNumbers = false;
    bool m_showsStatistic = false;
    bool m_wantsSyntaxColoring = false;

    QPointer<NBKeyForwardingWindow> m_window;
    QPointer<QFileDialog> m_savePanel;
    QPointer<QWidget> m_alert;
    QComboBox* m_formatPopUp = nullptr;
    QLabel* m_formatLabel = nullptr;
    QWidget* m_optionsView = nullptr;
    QTextBrowser* m_preview = nullptr;
    QCheckBox* m_titleBox = nullptr;
    QCheckBox* m_dateBox = nullptr;
    QCheckBox* m_lineNumbersBox = nullptr;
    QCheckBox* m_statisticBox = nullptr;
    QCheckBox* m_syntaxColoringBox = nullptr;
};

#endif
