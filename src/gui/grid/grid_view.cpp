#include "gui/grid/grid_view.h"

#include "core/grid/grid.h"
#include "core/platform/platform.h"
#include "gui/grid/grid_table_model.h"

#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace zorv::gui {
namespace {

constexpr int kMinZoom = 10;
constexpr int kMaxZoom = 1000;

// Draws a cell as selected exactly when its grid row is selected; the view's
// own selection (there is none) plays no part.
class GridDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(GridTableModel::SelectedRole).toBool())
            option->state |= QStyle::State_Selected;
        else
            option->state &= ~QStyle::State_Selected;
    }
};

int scaled(int value, int percent) {
    return qMax(1, qRound(value * percent / 100.0));
}

} // namespace

GridView::GridView(QWidget *parent) : QTableView(parent) {
    setItemDelegate(new GridDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setCornerButtonEnabled(false);

    // One fixed height for every row: nothing is measured per row.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->hide();

    QHeaderView *header = horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setMinimumSectionSize(1);
    connect(header, &QHeaderView::sectionClicked, this, &GridView::onHeaderClicked);
    connect(header, &QHeaderView::sectionDoubleClicked, this, &GridView::onHeaderDoubleClicked);
    connect(header, &QHeaderView::sectionResized, this, &GridView::onSectionResized);

    // The view paints its own background, so that skipping a paint while the
    // grid's redraw is off leaves the last image on screen.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setContentsMargins(6, 0, 12, 0);
    addScrollBarWidget(m_summary, Qt::AlignLeft);
    m_summary->hide();

    m_baseFont = font();
    applyZoom();
}

Grid *GridView::grid() const {
    return m_model ? m_model->grid() : nullptr;
}

void GridView::setGrid(Grid *grid) {
    GridTableModel *old = m_model;
    m_model = grid ? new GridTableModel(grid, this) : nullptr;
    setModel(m_model);
    delete old;
    updateSummary();
    if (!m_model)
        return;
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_applyingZoom = true; });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_applyingZoom = false;
        // A reset rebuilds the header: put the widths back.
        if (m_baseWidths.size() == m_model->columnCount())
            applyZoom();
        else
            initColumnWidths();
    });
    connect(m_model, &GridTableModel::editRefused, this, [this](qint64, int column) {
        const ColType type = this->grid()->columns().at(column - 1).type;
        platform().setStatusText(type == ColType::Number
                                     ? QStringLiteral("该列只能输入数字，单元格未修改")
                                     : QStringLiteral("该列只能输入日期时间，单元格未修改"));
    });
    connect(m_model, &GridTableModel::currentRowChanged, this, &GridView::followCurrentRow);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_model, signal, this, &GridView::updateSummary);
    connect(m_model, &QAbstractItemModel::modelReset, this, &GridView::updateSummary);
    initColumnWidths();
    updateSummary();
}

void GridView::updateSummary() {
    const Grid *g = grid();
    const bool shown = g && g->hasSummary();
    if (shown)
        m_summary->setText(g->summaryText());
    if (shown == m_summary->isVisibleTo(this))
        return;
    m_summary->setVisible(shown);
    setHorizontalScrollBarPolicy(shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
}

void GridView::followCurrentRow(qint64 row) {
    if (row < 1 || row > m_model->rowCount())
        return;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    if (currentIndex().row() != row - 1)
        setCurrentIndex(m_model->index(int(row - 1), column));
}

void GridView::setEditable(bool on) {
    if (m_model)
        m_model->setEditable(on);
    setEditTriggers(on ? QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
                       : QAbstractItemView::NoEditTriggers);
}

void GridView::initColumnWidths() {
    m_baseWidths.clear();
    if (Grid *g = grid()) {
        const QFontMetrics fm(m_baseFont);
        for (const Column &c : g->columns()) {
            // Declared lengths (255, 1000 …) are hints: a column starts at most
            // about 30 characters wide; the user widens it when needed.
            const int chars = c.width > 0 ? qBound(4, c.width, 30) : 12;
            const QString caption = c.caption.isEmpty() ? c.name : c.caption;
            m_baseWidths << qMax(fm.horizontalAdvance(caption) + 16,
                                 fm.averageCharWidth() * chars + 8);
        }
    }
    applyZoom();
}

void GridView::setZoom(int percent) {
    percent = qBound(kMinZoom, percent, kMaxZoom);
    if (percent == m_zoom)
        return;
    m_zoom = percent;
    applyZoom();
}

void GridView::applyZoom() {
    m_applyingZoom = true;
    QFont f = m_baseFont;
    if (m_baseFont.pointSizeF() > 0)
        f.setPointSizeF(m_baseFont.pointSizeF() * m_zoom / 100.0);
    else
        f.setPixelSize(scaled(m_baseFont.pixelSize(), m_zoom));
    setFont(f);
    const QFontMetrics fm(f);
    verticalHeader()->setDefaultSectionSize(fm.height() + scaled(6, m_zoom));
    for (int i = 0; i < m_baseWidths.size(); ++i)
        horizontalHeader()->resizeSection(i, scaled(m_baseWidths[i], m_zoom));
    m_applyingZoom = false;
}

void GridView::onSectionResized(int logical, int, int newSize) {
    // The user dragged a column: remember its width at natural size.
    if (!m_applyingZoom && logical >= 0 && logical < m_baseWidths.size())
        m_baseWidths[logical] = qMax(1, qRound(newSize * 100.0 / m_zoom));
}

QPoint GridView::toViewport(const QPoint &widgetPos) const {
    return viewport()->mapFrom(this, widgetPos);
}

qint64 GridView::rowAtPoint(const QPoint &pos) const {
    if (!m_model || !viewport()->geometry().contains(pos))
        return 0;
    const int row = rowAt(toViewport(pos).y());
    return row < 0 ? 0 : m_model->gridRow(row);
}

QString GridView::objectNameAt(const QPoint &pos) const {
    if (!m_model)
        return {};
    const QHeaderView *header = horizontalHeader();
    if (header->isVisible() && header->geometry().contains(pos)) {
        const int section = header->logicalIndexAt(header->mapFrom(this, pos));
        return section < 0
                   ? QString()
                   : m_model->headerData(section, Qt::Horizontal, GridTableModel::ObjectNameRole)
                         .toString();
    }
    if (rowAtPoint(pos) == 0)
        return {};
    const int column = columnAt(toViewport(pos).x());
    return column < 0 ? QString()
                      : m_model->index(0, column).data(GridTableModel::ObjectNameRole).toString();
}

void GridView::acceptText() {
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex()))
        commitData(editor);
}

void GridView::paintEvent(QPaintEvent *e) {
    const Grid *g = grid();
    if (g && !g->redraw())
        return;
    {
        QPainter p(viewport());
        p.fillRect(e->rect(), viewport()->palette().brush(viewport()->backgroundRole()));
    }
    QTableView::paintEvent(e);
}

void GridView::mousePressEvent(QMouseEvent *e) {
    // e is in viewport coordinates; the answer is taken before the view
    // reacts (it may scroll the row into full view).
    const QPoint pos = viewport()->mapTo(this, e->position().toPoint());
    const qint64 row = rowAtPoint(pos);
    const QString name = objectNameAt(pos);
    QTableView::mousePressEvent(e);
    if (e->button() == Qt::LeftButton)
        emit clicked(row, name);
}

void GridView::mouseDoubleClickEvent(QMouseEvent *e) {
    const QPoint pos = viewport()->mapTo(this, e->position().toPoint());
    const qint64 row = rowAtPoint(pos);
    const QString name = objectNameAt(pos);
    QTableView::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton)
        emit doubleClicked(row, name);
}

void GridView::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    QTableView::currentChanged(current, previous);
    if (Grid *g = grid(); g && current.isValid())
        g->setRow(m_model->gridRow(current.row()));
}

void GridView::onHeaderClicked(int logical) {
    if (m_model)
        emit clicked(0, m_model->headerData(logical, Qt::Horizontal, GridTableModel::ObjectNameRole)
                            .toString());
}

void GridView::onHeaderDoubleClicked(int logical) {
    if (m_model)
        emit doubleClicked(
            0, m_model->headerData(logical, Qt::Horizontal, GridTableModel::ObjectNameRole)
                   .toString());
}

} // namespace zorv::gui
