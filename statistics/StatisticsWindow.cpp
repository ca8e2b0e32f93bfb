// The statistics window: reviews per day over the past year as a calendar, the reviews due
// each day ahead, the share recalled per week against the desired retention, and the words
// by stage. Only draws: the numbers come worked out.
#include <QAbstractAxis>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDialog>
#include <QGridLayout>
#include <QKeySequence>
#include <QLineSeries>
#include <QPieSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>

#include "study/StatisticsFigures.h"

namespace {

QChartView* View(QChart* chart, const QString& title, const QString& summary, bool dark) {
    chart->setTitle(title);
    chart->setTheme(dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    chart->legend()->setVisible(false);
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(title);
    view->setAccessibleDescription(summary);
    view->setToolTip(summary);
    view->setFocusPolicy(Qt::StrongFocus); // a screen reader reaches each chart with Tab
    view->setMinimumSize(360, 240);
    return view;
}

// Weeks as columns, Monday at the top; five shades from none to the busiest day.
QChartView* Calendar(const StatisticsFigures& f) {
    auto* chart = new QChart;
    const int busiest =
        std::max(1, *std::max_element(f.reviewsPerDay.begin(), f.reviewsPerDay.end()));
    const QColor shades[] = {
        QColor(f.dark ? 0x30 : 0xe8, f.dark ? 0x30 : 0xe8, f.dark ? 0x30 : 0xe8),
        QColor(0x9b, 0xe9, 0xa8), QColor(0x40, 0xc4, 0x63), QColor(0x30, 0xa1, 0x4e),
        QColor(0x21, 0x6e, 0x39)};
    QScatterSeries* series[5];
    for (int s = 0; s < 5; ++s) {
        series[s] = new QScatterSeries;
        series[s]->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        series[s]->setMarkerSize(6);
        series[s]->setColor(shades[s]);
        series[s]->setBorderColor(shades[s]);
    }
    int total = 0, days = 0;
    for (std::size_t i = 0; i < f.reviewsPerDay.size(); ++i) {
        const int n = f.reviewsPerDay[i];
        const int slot = static_cast<int>(i) + f.firstWeekday;
        const int shade = n == 0 ? 0 : 1 + std::min(3, (n - 1) * 4 / busiest);
        series[shade]->append(slot / 7, 6 - slot % 7);
        total += n;
        days += n > 0;
    }
    for (QScatterSeries* s : series)
        chart->addSeries(s);
    chart->createDefaultAxes();
    const int weeks = (static_cast<int>(f.reviewsPerDay.size()) + f.firstWeekday + 6) / 7;
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setVisible(false);
        if (auto* value = qobject_cast<QValueAxis*>(axis))
            value->setRange(-1, axis->orientation() == Qt::Horizontal ? weeks : 7);
    }
    return View(chart, QStringLiteral("Reviews per day, past year"),
                QStringLiteral("%1 reviews on %2 of the last %3 days; the most in a day: %4")
                    .arg(total)
                    .arg(days)
                    .arg(f.reviewsPerDay.size())
                    .arg(busiest),
                f.dark);
}

QChartView* Due(const StatisticsFigures& f) {
    auto* set = new QBarSet(QStringLiteral("Due"));
    QStringList days;
    int total = 0;
    for (std::size_t i = 0; i < f.duePerDay.size(); ++i) {
        *set << f.duePerDay[i];
        total += f.duePerDay[i];
        days << QString::number(i);
    }
    auto* series = new QBarSeries;
    series->append(set);
    auto* chart = new QChart;
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(days);
    x->setTitleText(QStringLiteral("days from today"));
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto* y = new QValueAxis;
    y->setLabelFormat(QStringLiteral("%d"));
    // Whole numbers on the ticks: up to five steps of a whole size.
    const int most =
        f.duePerDay.empty() ? 0 : *std::max_element(f.duePerDay.begin(), f.duePerDay.end());
    const int step = std::max(1, (most + 3) / 4);
    const int top = std::max(1, (most + step - 1) / step) * step;
    y->setRange(0, top);
    y->setTickCount(top / step + 1);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    return View(chart, QStringLiteral("Reviews due, next %1 days").arg(f.duePerDay.size()),
                QStringLiteral("%1 reviews due, %2 of them today")
                    .arg(total)
                    .arg(f.duePerDay.empty() ? 0 : f.duePerDay[0]),
                f.dark);
}

QChartView* Recall(const StatisticsFigures& f) {
    auto* shares = new QLineSeries;
    shares->setName(QStringLiteral("Recalled"));
    shares->setPointsVisible(true);
    auto* target = new QLineSeries;
    target->setName(QStringLiteral("Desired retention"));
    const int weeks = static_cast<int>(f.recalledPerWeek.size());
    QString last = QStringLiteral("no reviews this week");
    for (int i = 0; i < weeks; ++i) {
        const double share = f.recalledPerWeek[static_cast<std::size_t>(i)];
        if (share >= 0) {
            shares->append(i - weeks + 1, 100.0 * share);
            last = QStringLiteral("%1% recalled in the latest week with reviews")
                       .arg(qRound(100.0 * share));
        }
    }
    target->append(-weeks + 1, 100.0 * f.desiredRetention);
    target->append(0, 100.0 * f.desiredRetention);
    QPen dashed = target->pen();
    dashed.setStyle(Qt::DashLine);
    target->setPen(dashed);
    auto* chart = new QChart;
    chart->addSeries(shares);
    chart->addSeries(target);
    chart->createDefaultAxes();
    for (QAbstractAxis* axis : chart->axes()) {
        auto* value = qobject_cast<QValueAxis*>(axis);
        if (value == nullptr)
            continue;
        if (axis->orientation() == Qt::Vertical) {
            value->setRange(0, 100);
            value->setLabelFormat(QStringLiteral("%d%%"));
        } else {
            value->setRange(-weeks + 1, 0);
            value->setLabelFormat(QStringLiteral("%d"));
            value->setTitleText(QStringLiteral("weeks ago"));
        }
    }
    QChartView* view = View(
        chart, QStringLiteral("Share recalled per week"),
        last + QStringLiteral("; desired %1%").arg(qRound(100.0 * f.desiredRetention)), f.dark);
    chart->legend()->setVisible(true);
    return view;
}

QChartView* Stages(const StatisticsFigures& f) {
    auto* series = new QPieSeries;
    const struct {
        const char* name;
        std::uint32_t count;
    } stages[] = {
        {"New", f.newWords}, {"Learning", f.learning}, {"Young", f.young}, {"Mature", f.mature}};
    QStringList parts;
    for (const auto& stage : stages) {
        const QString label = QStringLiteral("%1 %2").arg(stage.name).arg(stage.count);
        parts << label;
        if (stage.count > 0)
            series->append(label, stage.count);
    }
    auto* chart = new QChart;
    chart->addSeries(series);
    QChartView* view = View(chart, QStringLiteral("Words by stage"),
                            parts.join(QStringLiteral(", ")) +
                                QStringLiteral(" (young: an interval under 21 days)"),
                            f.dark);
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignRight);
    return view;
}

} // namespace

extern "C" __attribute__((visibility("default"))) bool
vocamint_show_statistics(void* parent, const StatisticsFigures* figures) {
    if (figures == nullptr || figures->reviewsPerDay.empty())
        return false;
    QDialog dialog(static_cast<QWidget*>(parent));
    dialog.setWindowTitle(QStringLiteral("Statistics"));
    dialog.setObjectName(QStringLiteral("statistics"));
    auto* grid = new QGridLayout(&dialog);
    grid->addWidget(Calendar(*figures), 0, 0);
    grid->addWidget(Due(*figures), 0, 1);
    grid->addWidget(Recall(*figures), 1, 0);
    grid->addWidget(Stages(*figures), 1, 1);
    dialog.exec();
    return true;
}
