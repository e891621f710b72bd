#include "app/splash_screen.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>

namespace qw {

namespace {

QLabel* addLabel(QWidget* parent, const QString& text, const QRect& geometry, int pixelSize,
                 Qt::Alignment alignment = Qt::AlignCenter) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    label->setFont(font);
    label->setStyleSheet("color: white;");
    return label;
}

} // namespace

Tfrm_SplashScreen::Tfrm_SplashScreen(const std::filesystem::path& dataDir, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog) {
    setObjectName("frm_SplashScreen");
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 128));
    setPalette(palette);

    auto* logo = new QLabel(this);
    logo->setObjectName("imgLogo");
    logo->setGeometry((kWidth - 329) / 2, 22, 329, 91);
    logo->setAlignment(Qt::AlignCenter);
    const QPixmap picture(QString::fromStdString((dataDir / "quirew.gif").string()));
    if (picture.isNull()) {
        logo->setText("HTMLHelp Quirewright");
        logo->setStyleSheet("color: white; font-size: 28px; font-weight: bold;");
    } else {
        logo->setPixmap(picture);
    }
    auto* version = addLabel(this, "Version 1.1 For Win95/98/NT/2K", QRect(0, 122, kWidth, 20), 13);
    version->setObjectName("lblVersion");
    addLabel(this, "A Linux build of the HTMLHelp authoring tool", QRect(0, 152, kWidth, 18), 11);
    addLabel(this, "Written with Qt and standard C++", QRect(0, 174, kWidth, 18), 11);
    auto* date = addLabel(this, buildDateText(15, 3, 2000), QRect(4, 2, 60, 14), 9,
                          Qt::AlignLeft | Qt::AlignVCenter);
    date->setObjectName("lblBuildDate");
    date->setToolTip("Build Date");
    m_closeLabel = addLabel(this, "X", QRect(kWidth - 18, 2, 14, 14), 11);
    m_closeLabel->setObjectName("lblClose");
    m_closeLabel->setToolTip("Click To Close");
    m_closeLabel->hide();
    for (QLabel* label : findChildren<QLabel*>())
        label->installEventFilter(this);
}

QString Tfrm_SplashScreen::buildDateText(int day, int month, int year) {
    return QString("%1.%2.%3").arg(day).arg(month).arg(year % 100, 2, 10, QChar('0'));
}

void Tfrm_SplashScreen::setCloseLabelVisible(bool visible) {
    m_closeVisible = visible;
    m_closeLabel->setVisible(visible);
}

bool Tfrm_SplashScreen::closeLabelVisible() const {
    return m_closeVisible;
}

void Tfrm_SplashScreen::centreOver(const QWidget& window) {
    const QRect outer = window.frameGeometry();
    move(outer.left() + (outer.width() - width()) / 2,
         outer.top() + (outer.height() - height()) / 2);
}

bool Tfrm_SplashScreen::clickCloses() {
    if (!m_closeVisible)
        return false;
    accept();
    return true;
}

bool Tfrm_SplashScreen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && clickCloses())
        return true;
    return QDialog::eventFilter(watched, event);
}

void Tfrm_SplashScreen::mousePressEvent(QMouseEvent* event) {
    if (!clickCloses())
        QDialog::mousePressEvent(event);
}

} // namespace qw
