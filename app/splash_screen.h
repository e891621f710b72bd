#pragma once

#include <QDialog>

#include <filesystem>

class QLabel;

namespace qw {

/// The splash window `Tfrm_SplashScreen`: navy, without title bar, always on top, with
/// the logo, the version, the build date and a close label "X". Clicks close it only
/// while the close label shows (the About box); at start-up only the timer closes it.
class Tfrm_SplashScreen : public QDialog {
    Q_OBJECT
public:
    Tfrm_SplashScreen(const std::filesystem::path& dataDir, QWidget* parent = nullptr);

    void setCloseLabelVisible(bool visible);
    bool closeLabelVisible() const;
    /// Centres the window over another one.
    void centreOver(const QWidget& window);

    /// "15.3.00": day, month and the last two digits of the year of the build.
    static QString buildDateText(int day, int month, int year);

    static constexpr int kWidth = 412;
    static constexpr int kHeight = 223;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool clickCloses();
    QLabel* m_closeLabel;
    bool m_closeVisible = false;
};

} // namespace qw
