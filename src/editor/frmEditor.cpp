#include "editor/frmEditor.h"

#include "editor/AccessibleNames.h"
#include "editor/AnnouncementAid.h"
#include "editor/CaretAids.h"
#include "editor/CompletionAid.h"
#include "editor/EditorSession.h"
#include "editor/EditorSettings.h"
#include "editor/EditorTreeItems.h"
#include "editor/EditorTrees.h"
#include "editor/FocusRing.h"
#include "editor/GuidedEditingAid.h"
#include "editor/NameChangeQuestion.h"
#include "check/ExpressionCheck.h"
#include "check/TypeSlips.h"
#include "editor/ProblemMarksAid.h"
#include "editor/ReferenceSelection.h"
#include "editor/ScriptBoxPalette.h"
#include "editor/ScriptColouring.h"
#include "editor/ScriptHighlighter.h"
#include "editor/ScriptZoom.h"
#include "editor/TreeColumnFit.h"
#include "support/ComponentErrors.h"
#include "forms/CaptionFit.h"
#include "support/FailureHandling.h"
#include "forms/FormFont.h"
#include "support/MlStringModule.h"
#include "support/QtTexts.h"
#include "support/SavedError.h"

#include <nvtarnix/Error.h>
#include <nvtarnix/View.h>

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QTextBlock>
#include <QTreeWidget>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace nvtarnix {

namespace {

const QString kDesignFace = QStringLiteral("Tahoma");
constexpr double kDesignFontSize = 8.25;
constexpr int kGreekCharset = 161;

// The window's long routines skip a step that fails and go on with the next.

// The text box shows line breaks as paragraphs; the component's texts carry
// them as CR LF.
QString toEditorText(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return t;
}

QString fromEditorText(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

} // namespace

frmEditor::frmEditor(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmEditor"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
}

frmEditor::~frmEditor() = default;

double frmEditor::twipsPerPixel() const
{
    const int dpi = logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

int frmEditor::WindowOpen(std::shared_ptr<View> &vCurrentView, QString &TextScript)
{
    if (m_running)
        return Rejected;
    m_running = true;
    m_isLoading = true;
    // A run that ends in any other way than OK, Cancel or the close box
    // hands back 0 and leaves the script alone.
    m_dialogResult = Rejected;
    skipOnError([&] {
        m_words.InitWordColours();
        m_words.setErrorWordsCleared(false);
    });
    m_view = vCurrentView;
    m_openedDatabaseText = TextScript;
    skipOnError([&] {
        if (!m_owner)
            throw objectNotSetError();
        m_showHelpLine = m_owner->showHelpLine();
    });
    m_guidedEditing = false;
    skipOnError([&] { m_guidedEditing = m_owner && m_owner->guidedEditing(); });
    // Qt's own texts (the script box's menu, the message boxes' buttons)
    // speak the language of this opening until the window closes.
    std::optional<QtTexts> qtTexts;
    skipOnError([&] {
        InitLanguage(0);
        qtTexts.emplace(CurrentLanguage());
    });
    skipOnError([&] { Form_Load(); });
    skipOnError([&] {
        if (m_showHelpLine)
            lbInfo->setText(GetMlString(1002, QString()));
    });
    skipOnError([&] { frInfo->setVisible(m_showHelpLine); });
    skipOnError([&] { fillVariableTree(); });
    skipOnError([&] { registerErrorWords(); });
    skipOnError([&] { fillFunctionTree(); });
    skipOnError([&] {
        if (TextScript.isEmpty())
            return;
        if (!m_owner)
            throw objectNotSetError();
        setScriptText(m_owner->toDisplayForm(TextScript));
        cmdCheck->setEnabled(true);
    });
    if (m_owner) {
        skipOnError([&] { setWindowTitle(m_owner->editorTitle()); });
        skipOnError([&] { lbVariables->setText(m_owner->variableCaption()); });
        skipOnError([&] { lbMethods->setText(m_owner->functionCaption()); });
        skipOnError([&] { cmdValueList->setVisible(m_owner->listButtonVisible()); });
    }
    skipOnError([&] { nameControls(); });
    skipOnError([&] { fitCaptions(); });
    m_isLoading = false;
    if (m_caretAids)
        m_caretAids->setHelpLineFollowsCaret(true);
    if (m_guided)
        skipOnError([&] { m_guided->windowOpening(tvVariables, int(m_session->variables().size())); });

    skipOnError([&] { exec(); });

    int result = 0;
    skipOnError([&] {
        if (m_dialogResult == Accepted) {
            if (!m_owner)
                throw objectNotSetError();
            TextScript = m_owner->toDatabaseForm(scriptText());
        }
    });
    result = m_dialogResult;
    skipOnError([&] { Form_Unload(); });
    unloadControls();
    m_running = false;
    return result;
}

void frmEditor::Form_Load()
{
    createControls();
    SetCaptions();
    skipOnError([&] { m_words.reset(); });
    // The size the user chose with the font keys is the script text's alone:
    // buttons, labels and trees keep the designed font, so their captions
    // keep fitting however large the script is made.
    skipOnError([&] { ApplyFormFont(this, kDesignFace, kDesignFontSize, kGreekCharset); });
    skipOnError([&] {
        const std::optional<double> size = editor::readFontSizeSetting(kDesignFontSize);
        if (size && *size > 0)
            setScriptFontSize(*size);
    });
}

void frmEditor::setScriptFontSize(double points)
{
    QFont font = txtScript->font();
    font.setPointSizeF(points);
    txtScript->setFont(font);
}

void frmEditor::fitCaptions()
{
    // The designed widths are the least a button gets; a caption that needs
    // more, in this language, font and scale, widens its button.
    const double p = twipsPerPixel();
    const auto fitted = [p](int designedTwips, std::initializer_list<const QPushButton *> buttons) {
        int twips = designedTwips;
        for (const QPushButton *button : buttons)
            twips = std::max(twips, int(std::ceil(captionFitWidth(button) * p)));
        return twips;
    };
    const editor::EditorGeometry designed;
    m_geometry.cmdValueList.width = fitted(designed.cmdValueList.width, {cmdValueList});
    m_geometry.cmdCheck.width = fitted(designed.cmdCheck.width, {cmdCheck});
    // Cancel takes OK's size.
    m_geometry.cmdOK.width = fitted(designed.cmdOK.width, {cmdOK, cmdCancel});
    m_geometry.cmdCancel.width = m_geometry.cmdOK.width;
    Form_Resize();
    placeControls();
}

void frmEditor::createControls()
{
    unloadControls();
    m_geometry = editor::EditorGeometry{};
    QFont designFont(kDesignFace);
    designFont.setPointSizeF(kDesignFontSize);
    setFont(designFont);
    // The design's texts are the string table's, as SetCaptions shows them.
    const auto text = [](int id) { return GetMlStringOrDefault(id, QString()); };
    setWindowTitle(text(6));
    if (m_windowIcon.isNull())
        m_windowIcon = QIcon(QStringLiteral(":/editor/window.svg"));
    setWindowIcon(m_windowIcon);
    // Every opening starts as the window was designed: normal (not maximised
    // because the last run ended so), at its creation size, centred.
    setWindowState(Qt::WindowNoState);
    setAttribute(Qt::WA_Moved, false);
    const double p = twipsPerPixel();
    resize(qRound(editor::kCreationClientWidth / p), qRound(editor::kCreationClientHeight / p));

    const auto named = [](auto *widget, const char *name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };

    picbottom = named(new QWidget(this), "picbottom");
    frInfo = named(new QGroupBox(picbottom), "frInfo");
    // The help line wraps, and scrolls when its text is longer than the frame.
    m_infoScroll = named(new QScrollArea(frInfo), "lbInfoScroll");
    m_infoScroll->setFrameShape(QFrame::NoFrame);
    m_infoScroll->setWidgetResizable(true);
    m_infoScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_infoScroll->viewport()->setAutoFillBackground(false);
    lbInfo = named(new QLabel(QStringLiteral("...")), "lbInfo");
    lbInfo->setTextFormat(Qt::PlainText);
    lbInfo->setWordWrap(true);
    lbInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_infoScroll->setWidget(lbInfo);
    txtScript = named(new QPlainTextEdit(picbottom), "txtScript");
    txtScript->setPalette(editor::scriptBoxPalette(txtScript->palette()));
    txtScript->setTabChangesFocus(true);
    txtScript->installEventFilter(this);
    txtScript->viewport()->installEventFilter(this);
    m_highlighter = new editor::ScriptHighlighter(txtScript->document());
    m_highlighter->setBackground(txtScript->palette().color(QPalette::Base).rgb());

    const auto tree = [&](const char *name) {
        auto *t = named(new QTreeWidget(this), name);
        t->setHeaderHidden(true);
        t->setColumnCount(1);
        t->setUniformRowHeights(true);
        t->setRootIsDecorated(true);
        t->setIconSize(QSize(16, 16));
        t->setTextElideMode(Qt::ElideNone);
        return t;
    };
    tvFunctions = tree("tvFunctions");
    tvVariables = tree("tvVariables");

    const auto button = [&](const char *name, const QString &caption) {
        auto *b = named(new QPushButton(caption, this), name);
        // No default button: Enter goes to the control that has the focus.
        b->setAutoDefault(false);
        b->setDefault(false);
        return b;
    };
    cmdValueList = button("cmdValueList", text(8));
    cmdValueList->setEnabled(false);
    cmdCheck = button("cmdCheck", text(9));
    cmdCheck->setEnabled(false);
    cmdCancel = button("cmdCancel", text(5));
    cmdOK = button("cmdOK", text(4));
    StatusBar1 = named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setSizeGripEnabled(true);
    lbVariables = named(new QLabel(text(10), this), "lbVariables");
    lbMethods = named(new QLabel(text(11), this), "lbMethods");
    for (QLabel *label : {lbVariables, lbMethods})
        label->setTextFormat(Qt::PlainText);

    mEditVariables = named(new QMenu(QStringLiteral("mEditVariables"), this), "mEditVariables");
    mInsertVar = named(mEditVariables->addAction(text(13)), "mInsertVar");
    mValueList = named(mEditVariables->addAction(text(14)), "mValueList");
    mSep = named(mEditVariables->addSeparator(), "mSep");
    mInsertFunc = named(mEditVariables->addAction(text(16)), "mInsertFunc");

    for (QWidget *w :
         std::initializer_list<QWidget *>{picbottom, frInfo, m_infoScroll, lbInfo, lbVariables, lbMethods, StatusBar1})
        w->setFocusPolicy(Qt::NoFocus);
    setTabOrder(tvVariables, tvFunctions);
    setTabOrder(tvFunctions, cmdCheck);
    setTabOrder(cmdCheck, txtScript);
    setTabOrder(txtScript, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdValueList);

    connect(txtScript, &QPlainTextEdit::textChanged, this, [this] { txtScript_Change(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { runHandler([this] { cmdOK_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { runHandler([this] { cmdCancel_Click(); }); });
    connect(cmdCheck, &QPushButton::clicked, this, [this] { runHandler([this] { cmdCheck_Click(); }); });
    connectTreeEvents();
    createAidControls();
    editor::showFocusRing(this);

    m_loaded = true;
    placeControls();
    tvVariables->setFocus();
}

void frmEditor::SetCaptions()
{
    const auto caption = [](int id) {
        try {
            return GetMlString(id, QString());
        } catch (...) {
            logSkippedFailure();
            return QString();
        }
    };
    setWindowTitle(caption(6));
    cmdCancel->setText(caption(5));
    cmdCheck->setText(caption(9));
    cmdOK->setText(caption(4));
    cmdValueList->setText(caption(8));
    lbMethods->setText(caption(11));
    lbVariables->setText(caption(10));
    mInsertFunc->setText(caption(16));
    mInsertVar->setText(caption(13));
    mValueList->setText(caption(14));
    skipOnError([&] { nameControls(); });
}

void frmEditor::Form_Unload()
{
    if (m_guided)
        m_guided->windowClosing();
    skipOnError([&] {
        if (txtScript)
            editor::writeFontSizeSetting(editor::toFixedPoint4(txtScript->font().pointSizeF()));
    });
    m_owner = nullptr;
}

void frmEditor::unloadControls()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    // The controls go with the run; the window object and its fields stay.
    // The fields are cleared first: a control being destroyed still sends
    // events to this window's filter, which must not reach a half-destroyed
    // script box through them.
    unloadAidControls();
    const auto widgets = findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    tvVariables = tvFunctions = nullptr;
    txtScript = nullptr;
    cmdCheck = cmdOK = cmdCancel = cmdValueList = nullptr;
    lbVariables = lbMethods = lbInfo = nullptr;
    m_infoScroll = nullptr;
    picbottom = nullptr;
    frInfo = nullptr;
    StatusBar1 = nullptr;
    mEditVariables = nullptr;
    mInsertVar = mValueList = mSep = mInsertFunc = nullptr;
    m_highlighter = nullptr;
    for (QWidget *w : widgets)
        delete w;
}

bool frmEditor::Form_QueryUnload(UnloadMode mode)
{
    if (mode != UnloadMode::UserClose)
        return false;
    m_dialogResult = Rejected;
    done(Rejected);
    return true;
}

void frmEditor::cmdOK_Click()
{
    if (!CheckExpression())
        return;
    if (!confirmNamesKept())
        return;
    m_dialogResult = Accepted;
    done(Accepted);
}

bool frmEditor::confirmNamesKept()
{
    if (!m_owner || !m_session)
        return true;
    const QVector<editor::NameChange> changes = editor::namesThatChange(
        scriptText(), m_openedDatabaseText, m_session->variables(),
        [this](const QString &text) { return m_owner->toDatabaseForm(text); },
        [this](const QString &text) { return m_owner->toDisplayForm(text); });
    return changes.isEmpty() || editor::askKeepNameChanges(this, changes);
}

void frmEditor::cmdCancel_Click()
{
    m_dialogResult = Rejected;
    done(Rejected);
}

void frmEditor::cmdCheck_Click()
{
    if (!CheckExpression())
        return;
    // Guided editing says it in a message box, which a screen reader reads
    // in full; the specified wizard only greys the button out, so the
    // announcer says it there.
    if (m_guided)
        m_guided->showPassed(check::typeSlipWarnings(scriptText(), m_session ? m_session->variables()
                                                                           : QVector<ViewVariable>()));
    else if (m_announcements)
        m_announcements->checkPassed();
}

bool frmEditor::CheckExpression()
{
    if (m_guided && m_session) {
        if (const auto failure = editor::unknownNameFailure(txtScript->toPlainText(), *m_session)) {
            m_guided->showFailure(*failure);
            return false;
        }
    }
    const bool removeNewLine = m_owner ? m_owner->removeNewLine() : true;
    const check::CheckOutcome outcome = check::CheckExpression(
        scriptText(),
        [this] {
            if (!m_view)
                throw objectNotSetError();
            return editor::variablesOfView(m_view.get());
        },
        removeNewLine);
    if (outcome.shownText != scriptText())
        setScriptText(outcome.shownText);
    if (!outcome.ok && m_guided && m_session) {
        m_guided->showFailure(
            editor::placedCheckFailure(txtScript->toPlainText(), outcome, m_session->variables(), CurrentLanguage()));
        return false;
    }
    if (!outcome.ok) {
        if (m_problemMarks)
            skipOnError([&] { m_problemMarks->moveCaretToFailure(outcome.line); });
        QMessageBox box(QMessageBox::Information, check::checkMessageTitle(), outcome.message, QMessageBox::Ok,
                        this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return false;
    }
    cmdCheck->setEnabled(false);
    return true;
}

void frmEditor::fillVariableTree()
{
    if (!m_owner)
        throw objectNotSetError();
    const QVector<editor::EditorVariable> variables = editor::variablesOfView(m_view.get());
    if (m_variableImages.isEmpty())
        m_variableImages = editor::variableImages();
    editor::fillTree(tvVariables, editor::buildVariableTree(m_owner->variableRoot(), variables, m_words),
                     m_variableImages);
    editor::fitColumnToNodes(tvVariables);
    editor::describeTreeItems(tvVariables, [this](const QTreeWidgetItem *node) {
        return editor::nodeTag(node).isEmpty() ? QString() : variableNodeToolTip(node);
    });
}

void frmEditor::registerErrorWords()
{
    if (!m_owner)
        throw objectNotSetError();
    editor::registerErrorWords(m_owner->errorTexts(), m_words);
}

void frmEditor::fillFunctionTree()
{
    if (!m_owner)
        throw objectNotSetError();
    const QString catalog = m_owner->functionCatalogText();
    if (m_functionImages.isEmpty())
        m_functionImages = editor::functionImages();
    editor::fillTree(tvFunctions,
                     editor::buildFunctionTree(m_owner->functionRoot(), catalog, m_words, m_owner->guidedEditing()),
                     m_functionImages);
    editor::fitColumnToNodes(tvFunctions);
    editor::describeTreeItems(tvFunctions, [this](const QTreeWidgetItem *node) {
        return editor::nodeTag(node).isEmpty() ? QString() : functionNodeToolTip(node);
    });
}

void frmEditor::txtScript_Change()
{
    if (cmdCheck)
        cmdCheck->setEnabled(true);
    skipOnError([&] { m_words.ClearErrorWords(m_isLoading); });
    skipOnError([&] {
        const QTextCursor cursor = txtScript->textCursor();
        m_highlighter->apply(editor::ColourScript(m_words, txtScript->toPlainText(), cursor.selectionStart(),
                                                  cursor.selectionEnd() - cursor.selectionStart()));
    });
    if (m_pauseTimer)
        m_pauseTimer->start();
    if (m_completion)
        m_completion->textChanged();
}

void frmEditor::txtScript_Click()
{
    if (!txtScript)
        return;
    QTextCursor cursor = txtScript->textCursor();
    const auto selection = editor::SelectReferenceAtCaret(txtScript->toPlainText(), cursor.selectionStart());
    if (!selection)
        return;
    cursor.setPosition(int(selection->start));
    cursor.setPosition(int(selection->start + selection->length), QTextCursor::KeepAnchor);
    txtScript->setTextCursor(cursor);
}

void frmEditor::txtScript_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    zoomScript(editor::zoomStepForKey(key, modifiers));
}

void frmEditor::zoomScript(int step)
{
    if (step == 0)
        return;
    const double size = txtScript->font().pointSizeF() + step;
    // A size the font refuses leaves the size as it is.
    if (size <= 0)
        return;
    setScriptFontSize(size);
}

void frmEditor::replaceSelection(const QString &text)
{
    QTextCursor cursor = txtScript->textCursor();
    cursor.insertText(toEditorText(text));
    txtScript->setTextCursor(cursor);
    if (m_announcements)
        m_announcements->inserted(text);
}

QString frmEditor::selectedScriptText() const
{
    return fromEditorText(txtScript->textCursor().selectedText());
}

QString frmEditor::scriptText() const
{
    return txtScript ? fromEditorText(txtScript->toPlainText()) : QString();
}

void frmEditor::setScriptText(const QString &text)
{
    txtScript->setPlainText(toEditorText(text));
}

void frmEditor::showHandlerError(const Error &error)
{
    QMessageBox box(QMessageBox::Warning, error.source().isEmpty() ? windowTitle() : error.source(),
                    QStringLiteral("%1: %2").arg(error.number()).arg(error.description()), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void frmEditor::runHandler(const std::function<void()> &work)
{
    try {
        work();
        return;
    } catch (const std::exception &error) {
        SaveError(error);
    } catch (...) {
        SaveError(componentError(ComponentError::InternalError));
    }
    try {
        RaiseSavedError();
    } catch (const Error &error) {
        showHandlerError(error);
    }
}

void frmEditor::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (!m_loaded)
        return;
    Form_Resize();
    placeControls();
}

void frmEditor::Form_Resize()
{
    const double p = twipsPerPixel();
    const editor::TwipRect before = m_geometry.picbottom;
    m_geometry = editor::Form_Resize(m_geometry, width() * p, height() * p, p);
    if (m_geometry.picbottom.width != before.width || m_geometry.picbottom.height != before.height)
        picbottom_Resize();
}

void frmEditor::picbottom_Resize()
{
    m_geometry = editor::picbottom_Resize(m_geometry, m_geometry.picbottom.width, m_geometry.picbottom.height,
                                          twipsPerPixel(), m_showHelpLine);
}

void frmEditor::placeControls()
{
    const double p = twipsPerPixel();
    const auto place = [p](QWidget *w, const editor::TwipRect &r) {
        if (w)
            w->setGeometry(qRound(r.left / p), qRound(r.top / p), qRound(r.width / p), qRound(r.height / p));
    };
    // Each control and the rectangle the layout keeps for it.
    using editor::EditorGeometry;
    const std::pair<QWidget *, editor::TwipRect EditorGeometry::*> controls[] = {
        {picbottom, &EditorGeometry::picbottom},       {frInfo, &EditorGeometry::frInfo},
        {m_infoScroll, &EditorGeometry::lbInfo},       {txtScript, &EditorGeometry::txtScript},
        {tvFunctions, &EditorGeometry::tvFunctions},   {tvVariables, &EditorGeometry::tvVariables},
        {cmdValueList, &EditorGeometry::cmdValueList}, {cmdCheck, &EditorGeometry::cmdCheck},
        {cmdCancel, &EditorGeometry::cmdCancel},       {cmdOK, &EditorGeometry::cmdOK},
        {lbVariables, &EditorGeometry::lbVariables},   {lbMethods, &EditorGeometry::lbMethods}};
    for (const auto &[control, rect] : controls)
        place(control, m_geometry.*rect);
    placeAidControls();
    // The status bar spans the bottom edge whatever the layout does; OK and
    // Cancel are drawn over it where they meet.
    if (StatusBar1) {
        const int barHeight = qRound(m_geometry.StatusBar1.height / p);
        StatusBar1->setGeometry(0, height() - barHeight, width(), barHeight);
        cmdOK->raise();
        cmdCancel->raise();
    }
}

void frmEditor::closeEvent(QCloseEvent *event)
{
    // The close box ends the run like Cancel; the window is hidden, not unloaded.
    if (Form_QueryUnload(UnloadMode::UserClose))
        event->ignore();
}

void frmEditor::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // No cancel button: Esc belongs to the focused control alone, unless
        // the host asked for the editing users expect today.
        if (m_guidedEditing)
            runHandler([this] { cmdCancel_Click(); });
        else
            event->ignore();
        return;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        if (m_guidedEditing && event->modifiers().testFlag(Qt::ControlModifier)) {
            runHandler([this] { cmdOK_Click(); });
            return;
        }
        // No default button: Enter presses only a button that has the focus.
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()); button && button->isEnabled())
            button->click();
        else
            event->ignore();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool frmEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (txtScript && watched == txtScript && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        skipOnError([&] { txtScript_KeyDown(key->key(), key->modifiers()); });
        // A zoom key is the window's: none of it lands in the text.
        if (editor::zoomStepForKey(key->key(), key->modifiers()) != 0)
            return true;
        // Guided editing's one-key fix of a misspelt name.
        const bool altEnter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                           && (key->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
        if (altEnter && m_guidedEditing && m_problemMarks) {
            bool fixed = false;
            runHandler([&] { fixed = m_problemMarks->replaceAtCaret(); });
            if (fixed)
                return true;
        }
    } else if (txtScript && watched == txtScript->viewport() && event->type() == QEvent::MouseButtonRelease
               && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        // The click is handled once the text box has placed its caret.
        QMetaObject::invokeMethod(this, [this] { skipOnError([&] { txtScript_Click(); }); }, Qt::QueuedConnection);
    } else if (txtScript && watched == txtScript->viewport() && event->type() == QEvent::Wheel) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        if (const int step = editor::zoomStepForWheel(wheel->angleDelta(), wheel->modifiers())) {
            skipOnError([&] { zoomScript(step); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace nvtarnix
