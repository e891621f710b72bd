#include "tools/special_effects.h"

#include "core/field_keys.h"
#include "tools/field_filter.h"
#include "tools/tool_messages.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace qw {

TfrmSpecialEffects::TfrmSpecialEffects(ToolMessages& messages, QString programDirectory,
                                       QWidget* parent)
    : QDialog(parent), m_messages(messages), m_programDirectory(std::move(programDirectory)),
      m_pages(new QStackedWidget(this)),
      m_popupStep([this] { return m_chooser ? m_chooser() : askForPopupFile(); },
                  [this](std::string_view message) {
                      m_messages.show(ToolMessages::Kind::Error,
                                      QString::fromUtf8(message.data(), qsizetype(message.size())));
                  }) {
    setObjectName("TfrmSpecialEffects");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    auto* buttons = new QDialogButtonBox;
    m_ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    m_ok->setObjectName("btnOK");
    m_ok->setDefault(true);
    QPushButton* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    cancel->setObjectName("btnCancel");
    QPushButton* help = buttons->addButton("Help", QDialogButtonBox::HelpRole);
    help->setObjectName("btnHelp");
    connect(m_ok, &QPushButton::clicked, this, &TfrmSpecialEffects::okClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        setWindowFlag(Qt::WindowStaysOnTopHint, false);
        show();
        emit helpRequested(QString::fromStdString(sfxHelpPage(m_effect)));
    });
    layout->addWidget(buttons);
    addPages();
    layout->setSizeConstraint(QLayout::SetFixedSize); // cannot be resized
}

QLineEdit* TfrmSpecialEffects::addLine(QFormLayout* form, const QString& label, const QString& name,
                                       int limit, int keys) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    FieldFilter::install(edit, FieldKeys(keys), limit);
    form->addRow(label, edit);
    return edit;
}

QPlainTextEdit* TfrmSpecialEffects::addMemo(QFormLayout* form, const QString& label,
                                            const QString& name, int limit, int keys) {
    auto* memo = new QPlainTextEdit;
    memo->setObjectName(name);
    memo->setTabChangesFocus(true);
    memo->setFixedHeight(70);
    FieldFilter::install(memo, FieldKeys(keys), limit, m_ok);
    form->addRow(label, memo);
    return memo;
}

QComboBox* TfrmSpecialEffects::addChoice(QFormLayout* form, const QString& label,
                                         const QString& name, const QStringList& items,
                                         int current) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(current);
    form->addRow(label, box);
    return box;
}

void TfrmSpecialEffects::addPages() {
    const int name = int(FieldKeys::Name), number = int(FieldKeys::Number),
              text = int(FieldKeys::Text), any = int(FieldKeys::Any);
    auto page = [this](SfxEffect effect) {
        auto* widget = new QWidget;
        widget->setObjectName(QString::fromUtf8(sfxPageName(effect).data()));
        m_pages->addWidget(widget);
        return new QFormLayout(widget);
    };
    QFormLayout* f = page(SfxEffect::PopupText);
    addLine(f, "PopUp Reference:", "edtPopupRef", 10, name);
    addLine(f, "PopUp HyperText:", "edtPopupHyper", 0, text);
    addMemo(f, "PopUp Text:", "memPopupText", 500, any);

    f = page(SfxEffect::SecondaryWindow);
    addLine(f, "HTML Filename:", "edtSecWinFile", 30, text);
    addLine(f, "SecWin HyperText:", "edtSecWinHyper", 100, text);
    addLine(f, "Window Width:", "edtSecWinWidth", 3, number);
    addLine(f, "Window Height:", "edtSecWinHeight", 3, number);

    f = page(SfxEffect::ExpandableSection);
    addLine(f, "Section Name:", "edtSectionName", 10, name);
    addLine(f, "Section HyperText:", "edtSectionHyper", 100, text);

    f = page(SfxEffect::ShortcutButton);
    QComboBox* type = addChoice(f, "Button Type:", "cboButtonType",
                                {"Text on Button", "Bitmap/Icon on Button"}, 0);
    addLine(f, "Button Text:", "edtButtonText", 0, text);
    m_buttonTextLabel =
        qobject_cast<QLabel*>(f->labelForField(f->itemAt(1, QFormLayout::FieldRole)->widget()));
    Q_ASSERT(m_buttonTextLabel);
    addLine(f, "File to Execute:", "edtButtonExe", 30, text);
    connect(type, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_buttonTextLabel->setText(index == 0 ? "Button Text:" : "Button Bitmap/Icon:");
    });

    f = page(SfxEffect::PageTransition);
    QStringList transitions;
    for (const std::string& t : transitionNames())
        transitions << QString::fromStdString(t);
    addChoice(f, "Transition Type:", "cboTransition", transitions, kDefaultTransition);
    addLine(f, "Duration (ms):", "edtTransitionDuration", 4, number);

    f = page(SfxEffect::SplashScreen);
    addLine(f, "Splash Bitmap:", "edtSplashBitmap", 30, text);
    addLine(f, "Splash Duration (ms):", "edtSplashDuration", 5, number);

    f = page(SfxEffect::TypingText);
    addMemo(f, "Text to Type:", "memTypingText", 500, text);

    f = page(SfxEffect::PopupHint);
    addLine(f, "Hint HyperText:", "edtHintHyper", 100, text);
    addMemo(f, "PopUp Hint Text:", "memHintText", 500, text);

    f = page(SfxEffect::HighlightedText);
    auto* colourRow = new QHBoxLayout;
    auto* colour = new QLineEdit;
    colour->setObjectName("edtHighlightColour");
    colour->setReadOnly(true);
    auto* choose = new QToolButton;
    choose->setObjectName("btnHighlightColour");
    choose->setText("...");
    choose->setToolTip("Select Hi-Light Colour");
    connect(choose, &QToolButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(Qt::yellow, this);
        if (chosen.isValid())
            setHighlightColour(chosen);
    });
    colourRow->addWidget(colour);
    colourRow->addWidget(choose);
    f->addRow("Highlight Colour:", colourRow);
    addMemo(f, "Highlight Text:", "memHighlightText", 0, text);

    f = page(SfxEffect::BlockBackgroundImage);
    addLine(f, "Background Image:", "edtBlockImage", 30, text);
    addLine(f, "Background Width:", "edtBlockWidth", 3, number);
    addChoice(f, "Width Units:", "cboBlockUnits", {"Pixels", "Percent"}, 0);
}

void TfrmSpecialEffects::setHighlightColour(const QColor& colour) {
    m_colour = highlightColour(colour.red(), colour.green(), colour.blue());
    auto* field = findChild<QLineEdit*>("edtHighlightColour");
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, colour);
    field->setPalette(palette);
}

QString TfrmSpecialEffects::text(const QString& name) const {
    if (const auto* line = findChild<QLineEdit*>(name))
        return line->text();
    if (const auto* memo = findChild<QPlainTextEdit*>(name))
        return memo->toPlainText();
    return {};
}

int TfrmSpecialEffects::choice(const QString& name) const {
    return findChild<QComboBox*>(name)->currentIndex();
}

SfxFields TfrmSpecialEffects::fields() const {
    auto s = [this](const char* name) { return text(name).toStdString(); };
    SfxFields f;
    switch (m_effect) {
    case SfxEffect::PopupText:
        f.ref = s("edtPopupRef");
        f.hyper = s("edtPopupHyper");
        f.text = s("memPopupText");
        break;
    case SfxEffect::SecondaryWindow:
        f.file = s("edtSecWinFile");
        f.hyper = s("edtSecWinHyper");
        f.width = s("edtSecWinWidth");
        f.height = s("edtSecWinHeight");
        break;
    case SfxEffect::ExpandableSection:
        f.name = s("edtSectionName");
        f.hyper = s("edtSectionHyper");
        break;
    case SfxEffect::ShortcutButton:
        f.shortcutKind = choice("cboButtonType") == 0 ? ShortcutKind::Text : ShortcutKind::Bitmap;
        f.text = s("edtButtonText");
        f.exe = s("edtButtonExe");
        break;
    case SfxEffect::PageTransition:
        f.transition = choice("cboTransition");
        f.duration = s("edtTransitionDuration");
        break;
    case SfxEffect::SplashScreen:
        f.file = s("edtSplashBitmap");
        f.duration = s("edtSplashDuration");
        break;
    case SfxEffect::TypingText:
        f.text = s("memTypingText");
        break;
    case SfxEffect::PopupHint:
        f.hyper = s("edtHintHyper");
        f.text = s("memHintText");
        break;
    case SfxEffect::HighlightedText:
        f.colour = m_colour;
        f.text = s("memHighlightText");
        break;
    case SfxEffect::BlockBackgroundImage:
        f.file = s("edtBlockImage");
        f.width = s("edtBlockWidth");
        f.unit = choice("cboBlockUnits") == 0 ? WidthUnit::Pixels : WidthUnit::Percent;
        break;
    }
    return f;
}

void TfrmSpecialEffects::showPage(SfxEffect effect) {
    m_effect = effect;
    m_pages->setCurrentIndex(int(effect));
    setWindowTitle(QString::fromUtf8(sfxPageName(effect).data()));
}

std::string TfrmSpecialEffects::currentMarker() const {
    return buildSfxMarker(m_effect, fields());
}

void TfrmSpecialEffects::setFileChooser(FileChooser chooser) {
    m_chooser = std::move(chooser);
}

std::optional<std::filesystem::path> TfrmSpecialEffects::askForPopupFile() {
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    show();
    const QString file = QFileDialog::getSaveFileName(
        this, "Add To Or Create PopUp Text File", m_programDirectory + "/TxPopups.js",
        "Popup Text File (TxPopups.js)", nullptr, QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty())
        return std::nullopt;
    return std::filesystem::path(file.toStdString());
}

void TfrmSpecialEffects::okClicked() {
    if (m_effect == SfxEffect::PopupText) {
        const SfxFields f = fields();
        try {
            if (!m_popupStep.addEntry(f.ref, f.text))
                return reject();
        } catch (const std::exception& error) {
            m_messages.show(ToolMessages::Kind::Error, QString::fromUtf8(error.what()));
            return reject();
        }
    }
    accept();
}

std::optional<std::string> TfrmSpecialEffects::runEffect(SfxEffect effect) {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    showPage(effect);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return currentMarker();
}

} // namespace qw
