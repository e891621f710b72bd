#include "app/auto_sizer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qw {

namespace {

QSize& testScreenSize() {
    static QSize size;
    return size;
}

constexpr int kToolbarHeight = 42;
constexpr const char* kTabCaptions[] = {"&Contents", "&Index", "&Search", "Favor&ites"};

/// One button of the viewer's toolbar: a glyph over its caption.
void drawToolButton(QPainter& p, int x, const QString& caption, int glyph) {
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::NoBrush);
    const QPointF c(x + 22, 14);
    switch (glyph) {
    case 0: // hide: a pane with an arrow
        p.drawRect(QRectF(c.x() - 9, c.y() - 7, 18, 14));
        p.drawLine(QPointF(c.x() - 3, c.y() - 7), QPointF(c.x() - 3, c.y() + 7));
        break;
    case 1:   // back
    case 2: { // forward
        const double d = glyph == 1 ? -1 : 1;
        QPainterPath arrow;
        arrow.moveTo(c.x() + d * 9, c.y());
        arrow.lineTo(c.x() - d * 2, c.y() - 8);
        arrow.lineTo(c.x() - d * 2, c.y() + 8);
        arrow.closeSubpath();
        p.fillPath(arrow, QColor(40, 120, 40));
        break;
    }
    case 3: // home
        p.drawRect(QRectF(c.x() - 6, c.y() - 1, 12, 8));
        p.drawLine(QPointF(c.x() - 9, c.y()), QPointF(c.x(), c.y() - 8));
        p.drawLine(QPointF(c.x(), c.y() - 8), QPointF(c.x() + 9, c.y()));
        break;
    case 4: // print
        p.drawRect(QRectF(c.x() - 9, c.y() - 3, 18, 9));
        p.drawRect(QRectF(c.x() - 5, c.y() - 8, 10, 5));
        break;
    default: // options: a gear-like ring
        p.drawEllipse(c, 7, 7);
        p.drawEllipse(c, 2.5, 2.5);
        break;
    }
    p.setPen(Qt::black);
    QFont font = p.font();
    font.setPixelSize(10);
    p.setFont(font);
    p.drawText(QRect(x, 26, 44, 14), Qt::AlignCenter, caption);
}

/// The picture of the help viewer's toolbar along the top of the mock-up.
QPixmap toolbarPicture() {
    const char* captions[] = {"Hide", "Back", "Forward", "Home", "Print", "Options"};
    QPixmap picture(6 * 48 + 8, kToolbarHeight);
    picture.fill(QColor(236, 233, 216));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 6; ++i)
        drawToolButton(p, 4 + i * 48, captions[i], i);
    return picture;
}

} // namespace

void TfrmAutoSizer::setTestScreenSize(QSize size) {
    testScreenSize() = size;
}

TfrmAutoSizer::TfrmAutoSizer(const SizerValues& values, QWidget* parent) : QDialog(parent) {
    setObjectName("frmAutoSizer");
    setWindowTitle("AutoSizer");
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* toolbar = new QLabel(this);
    toolbar->setObjectName("imgToolbar");
    toolbar->setPixmap(toolbarPicture());
    toolbar->setFixedHeight(kToolbarHeight);
    toolbar->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    toolbar->setStyleSheet("QLabel { background: #ece9d8; border-bottom: 1px solid #a0a0a0; }");
    layout->addWidget(toolbar);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName("splNavigator");
    m_splitter->setChildrenCollapsible(false);
    m_navigator = new QTabWidget(m_splitter);
    m_navigator->setObjectName("pgcNavigator");
    m_navigator->setMinimumWidth(30);
    for (const char* caption : kTabCaptions) {
        auto* page = new QWidget(m_navigator);
        m_navigator->addTab(page, caption);
    }
    m_splitter->addWidget(m_navigator);
    m_splitter->addWidget(buildTopicArea());
    m_splitter->setStretchFactor(1, 1);
    layout->addWidget(m_splitter, 1);

    const bool shown[] = {values.showIndex, values.showSearch, values.showFavourites};
    for (int i = 0; i < 3; ++i) {
        m_tabBoxes[i]->setChecked(shown[i]);
        showTab(i + 1, shown[i]);
    }
    resize(values.width, values.height);
    move(values.left, values.top);
    const int panel = std::max(values.panelWidth(), 30);
    m_splitter->setSizes({panel, std::max(values.width - panel, 1)});
}

QWidget* TfrmAutoSizer::buildTopicArea() {
    // The topic area: pale yellow, disabled, with the controls over it. They are its
    // children, so they keep their distance from the splitter wherever it goes.
    auto* area = new QWidget(m_splitter);
    area->setObjectName("pnlTopic");
    area->setMinimumWidth(260);
    area->setAutoFillBackground(true);
    QPalette yellow = area->palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 225));
    area->setPalette(yellow);
    auto* text = new QLabel(" ***** Not A Real HTML Help *****", area);
    text->setObjectName("lblNotReal");
    text->setEnabled(false);
    text->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    auto* areaLayout = new QVBoxLayout(area);
    areaLayout->setContentsMargins(kSizerControlsGap, 11, 11, 11);

    m_controls = new QWidget(area);
    m_controls->setObjectName("pnlControls");
    auto* controls = new QVBoxLayout(m_controls);
    controls->setContentsMargins(0, 0, 0, 0);
    auto* tabs = new QGroupBox(" Navigator Tabs ", m_controls);
    tabs->setObjectName("grpNavigatorTabs");
    auto* tabsLayout = new QVBoxLayout(tabs);
    const char* boxes[][2] = {{"chkShowIndex", "Show Index"},
                              {"chkShowSearch", "Show Search"},
                              {"chkShowFavorites", "Show Favorites"}};
    for (int i = 0; i < 3; ++i) {
        m_tabBoxes[i] = new QCheckBox(boxes[i][1], tabs);
        m_tabBoxes[i]->setObjectName(boxes[i][0]);
        tabsLayout->addWidget(m_tabBoxes[i]);
        connect(m_tabBoxes[i], &QCheckBox::toggled, this,
                [this, i](bool on) { showTab(i + 1, on); });
    }
    auto* size = new QGroupBox(" Size && Position", m_controls);
    size->setObjectName("grpSizePosition");
    auto* sizeLayout = new QVBoxLayout(size);
    for (const SizerPreset& preset : kSizerPresets) {
        auto* button = new QPushButton(preset.caption, size);
        button->setObjectName(QString("btn") + preset.caption);
        button->setAutoDefault(false);
        sizeLayout->addWidget(button);
        connect(button, &QPushButton::clicked, this,
                [this, w = preset.width, h = preset.height] { resize(w, h); });
    }
    auto* centre = new QPushButton("Center On Screen", size);
    centre->setObjectName("btnCenterOnScreen");
    centre->setAutoDefault(false);
    sizeLayout->addWidget(centre);
    connect(centre, &QPushButton::clicked, this, &TfrmAutoSizer::centreOnScreen);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("OK", m_controls);
    ok->setObjectName("btnOK");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", m_controls);
    cancel->setObjectName("btnCancel");
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    controls->addWidget(tabs);
    controls->addWidget(size);
    controls->addLayout(buttons);

    auto* row = new QHBoxLayout;
    row->addWidget(m_controls);
    row->addStretch();
    areaLayout->addLayout(row);
    areaLayout->addStretch();
    areaLayout->addWidget(text);
    areaLayout->addStretch();
    return area;
}

void TfrmAutoSizer::showTab(int index, bool shown) {
    m_navigator->setTabVisible(index, shown);
    m_navigator->setCurrentIndex(0);
}

void TfrmAutoSizer::centreOnScreen() {
    QSize screenSize = testScreenSize();
    if (screenSize.isEmpty() && screen())
        screenSize = screen()->geometry().size();
    SizerValues v = values();
    v.centreOn(screenSize.width(), screenSize.height());
    move(v.left, v.top);
}

int TfrmAutoSizer::panelWidth() const {
    return m_splitter->sizes().value(0);
}

SizerValues TfrmAutoSizer::values() const {
    SizerValues v;
    v.left = pos().x();
    v.top = pos().y();
    v.width = width();
    v.height = height();
    v.setPanelWidth(panelWidth());
    v.showIndex = m_tabBoxes[0]->isChecked();
    v.showSearch = m_tabBoxes[1]->isChecked();
    v.showFavourites = m_tabBoxes[2]->isChecked();
    return v;
}

void TfrmAutoSizer::closeEvent(QCloseEvent* event) {
    // The close box keeps what the author set, as OK does.
    event->accept();
    accept();
}

} // namespace qw
