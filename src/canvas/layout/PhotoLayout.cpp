#include "canvas/layout/PhotoLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mosaiq {

using layout_detail::LayoutRandom;

QString LayoutFamilyName(LayoutFamily family) {
    switch (family) {
    case LayoutFamily::Rows:
        return QStringLiteral("rows");
    case LayoutFamily::Grid:
        return QStringLiteral("grid");
    case LayoutFamily::Tree:
        return QStringLiteral("tree");
    }
    return {};
}

bool LayoutFamilyFromName(const QString& name, LayoutFamily* family) {
    for (LayoutFamily f : {LayoutFamily::Rows, LayoutFamily::Grid, LayoutFamily::Tree}) {
        if (name.compare(LayoutFamilyName(f), Qt::CaseInsensitive) == 0) {
            *family = f;
            return true;
        }
    }
    return false;
}

std::uint64_t LayoutRandom::Next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::vector<int> LayoutOrder(int count, std::uint64_t seed) {
    std::vector<int> order(std::size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        order[std::size_t(i)] = i;
    if (seed == 0)
        return order;
    // Fisher-Yates over our own generator, so a seed means the same order everywhere.
    LayoutRandom random(seed);
    for (int i = count - 1; i > 0; --i)
        std::swap(order[std::size_t(i)], order[std::size_t(random.Below(i + 1))]);
    return order;
}

namespace layout_detail {
namespace {

struct RowsPlan {
    std::vector<int> breaks; // start index of every row, then the count
};

// Running sums over the photos in order: aspects, their logarithms and the squares of those.
struct RowSums {
    std::vector<double> aspects, logs, squares;
    double Aspects(int i, int j) const { return aspects[std::size_t(j)] - aspects[std::size_t(i)]; }
};

RowSums SumsOf(const std::vector<double>& aspects) {
    RowSums sums;
    sums.aspects.assign(aspects.size() + 1, 0.0);
    sums.logs.assign(aspects.size() + 1, 0.0);
    sums.squares.assign(aspects.size() + 1, 0.0);
    for (std::size_t i = 0; i < aspects.size(); ++i) {
        const double l = std::log(aspects[i]);
        sums.aspects[i + 1] = sums.aspects[i] + aspects[i];
        sums.logs[i + 1] = sums.logs[i] + l;
        sums.squares[i + 1] = sums.squares[i] + l * l;
    }
    return sums;
}

// Height of the row of photos [i, j) when it spans width.
double RowHeight(const RowSums& sums, int i, int j, double width, double spacing) {
    const double room = width - spacing * double(j - i - 1);
    if (room <= 0.0)
        return -1.0;
    return room / sums.Aspects(i, j);
}

// Breaks by evenness of size: the rows whose photos' areas (aspect x height squared) are nearest
// the target area, in the least-squares sense of their logarithms (shortest path over the break
// points). A row of one panorama is kept low and a row of portraits tall, so that the photos of
// different shapes come out of similar size; the target decides how many rows there are.
// With byHeight the rows' heights are what is held to the target (the logarithm of a height):
// rows then differ less in height and more in their photos' sizes, which can fit the page's
// height better.
RowsPlan BreakRows(const RowSums& sums, int n, double width, double spacing, double logTarget,
                   double logWidest, bool byHeight) {
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> cost(std::size_t(n) + 1, inf);
    std::vector<int> from(std::size_t(n) + 1, 0);
    cost[0] = 0.0;
    for (int j = 1; j <= n; ++j) {
        bool stop = false;
        for (int i = j - 1; i >= 0; --i) {
            const double h = RowHeight(sums, i, j, width, spacing);
            if (h <= 0.0)
                break; // longer rows only leave less room
            const double m = double(j - i);
            double c = cost[std::size_t(i)];
            if (byHeight) {
                const double d = std::log(h) - logTarget;
                c += d * d;
                if (d < -1.4)
                    stop = true; // rows four times lower than the target are never the best
            } else {
                const double d = 2.0 * std::log(h) - logTarget;
                const double l1 = sums.logs[std::size_t(j)] - sums.logs[std::size_t(i)];
                const double l2 = sums.squares[std::size_t(j)] - sums.squares[std::size_t(i)];
                c += l2 + 2.0 * d * l1 + m * d * d;
                if (d + logWidest < -4.0)
                    stop = true; // every photo of a longer row is 50 times below the target
            }
            if (c < cost[std::size_t(j)]) {
                cost[std::size_t(j)] = c;
                from[std::size_t(j)] = i;
            }
            if (stop)
                break;
        }
    }
    RowsPlan plan;
    if (!std::isfinite(cost[std::size_t(n)]))
        return plan;
    for (int j = n; j > 0; j = from[std::size_t(j)])
        plan.breaks.push_back(j);
    plan.breaks.push_back(0);
    std::reverse(plan.breaks.begin(), plan.breaks.end());
    return plan;
}

// Places a plan into the usable area. Without fill the rows are scaled down (never up) until
// they fit the height and centred; with fill their heights are stretched to the area's.
LayoutResult PlaceRows(const RowsPlan& plan, const RowSums& sums,
                       const std::vector<double>& aspects, QSizeF area, double spacing, bool fill) {
    LayoutResult result;
    const int rows = int(plan.breaks.size()) - 1;
    std::vector<double> heights;
    double total = 0.0;
    for (int r = 0; r < rows; ++r) {
        heights.push_back(RowHeight(sums, plan.breaks[std::size_t(r)],
                                    plan.breaks[std::size_t(r) + 1], area.width(), spacing));
        total += heights.back();
    }
    const double roomY = area.height() - spacing * double(rows - 1);
    if (roomY <= 0.0 || total <= 0.0)
        return result;
    const double factor = fill ? roomY / total : std::min(1.0, roomY / total);
    const double usedY = total * factor + spacing * double(rows - 1);
    double y = (area.height() - usedY) / 2.0;
    result.cells.resize(aspects.size());
    for (int r = 0; r < rows; ++r) {
        const int first = plan.breaks[std::size_t(r)];
        const int end = plan.breaks[std::size_t(r) + 1];
        const double h = heights[std::size_t(r)];
        const double widthScale = fill ? 1.0 : factor;
        const double usedX =
            h * widthScale * sums.Aspects(first, end) +
            spacing * double(end - first - 1);
        double x = (area.width() - usedX) / 2.0;
        for (int i = first; i < end; ++i) {
            const double w = aspects[std::size_t(i)] * h * widthScale;
            result.cells[std::size_t(i)] = QRectF(x, y, w, h * factor);
            x += w + spacing;
        }
        y += h * factor + spacing;
    }
    result.ok = true;
    return result;
}

double CellsArea(const std::vector<QRectF>& cells) {
    double sum = 0.0;
    for (const QRectF& c : cells)
        sum += c.width() * c.height();
    return sum;
}

// How far the cells stray from their photos' aspects (the share a fill crop cuts away).
double MeanCut(const std::vector<QRectF>& cells, const std::vector<double>& aspects) {
    double sum = 0.0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const double ratio = (cells[i].width() / cells[i].height()) / aspects[i];
        sum += 1.0 - std::min(ratio, 1.0 / ratio);
    }
    return cells.empty() ? 0.0 : sum / double(cells.size());
}

} // namespace

double SizeSpread(const std::vector<QRectF>& cells) {
    double smallest = std::numeric_limits<double>::infinity();
    double largest = 0.0;
    for (const QRectF& c : cells) {
        smallest = std::min(smallest, c.width() * c.height());
        largest = std::max(largest, c.width() * c.height());
    }
    return cells.empty() || !(smallest > 0.0) ? std::numeric_limits<double>::infinity()
                                               : largest / smallest;
}

double BalancedArea(const std::vector<QRectF>& cells) {
    if (cells.empty())
        return 0.0;
    // Up to kEvenSpread between the largest and the smallest photo reads as even (a panorama
    // beside a portrait of one height already differs 4.5 times, and rows must still meet the
    // page's height); past it the area counts less as the spread grows.
    constexpr double kEvenSpread = 14.5;
    const double spread = SizeSpread(cells);
    return CellsArea(cells) * std::min(1.0, kEvenSpread / spread);
}

LayoutResult RowsLayout(const LayoutRequest& request, const std::vector<double>& aspects) {
    const QSizeF area(request.canvas.width() - 2.0 * request.margin,
                      request.canvas.height() - 2.0 * request.margin);
    const int n = int(aspects.size());
    const RowSums sums = SumsOf(aspects);
    // Fill covers the same area whatever the breaks: there the least cropping counts.
    const auto score = [&](const RowsPlan& plan, LayoutResult* placed) {
        *placed = PlaceRows(plan, sums, aspects, area, request.spacing, request.fill);
        if (!placed->ok)
            return -1.0;
        // Rows that differ by more than three times in height read as two layouts: such breaks
        // count half.
        double lowest = std::numeric_limits<double>::infinity();
        double highest = 0.0;
        for (const QRectF& c : placed->cells) {
            lowest = std::min(lowest, c.height());
            highest = std::max(highest, c.height());
        }
        const double balanced = BalancedArea(placed->cells) * (lowest * 3.0 >= highest ? 1.0 : 0.5);
        return request.fill ? (1.0 - MeanCut(placed->cells, aspects)) * balanced : balanced;
    };
    RowsPlan bestPlan;
    double bestScore = -1.0;
    LayoutResult scratch;
    const auto consider = [&](const RowsPlan& plan, double planScore) {
        if (planScore > bestScore + 1e-9) {
            bestScore = planScore;
            bestPlan = plan;
        }
    };
    if (n <= kFewPhotos) {
        // Few photos: every set of breaks.
        for (unsigned mask = 0; mask < (1u << (n - 1)); ++mask) {
            RowsPlan plan;
            plan.breaks.push_back(0);
            for (int i = 1; i < n; ++i)
                if (mask & (1u << (i - 1)))
                    plan.breaks.push_back(i);
            plan.breaks.push_back(n);
            consider(plan, score(plan, &scratch));
        }
    } else {
        // The evenness breaking does not aim at the page's height by itself: try it for target
        // areas from one row of everything to one photo a row, move single breaks by one photo
        // while that places better, and keep the breaks that place best.
        double narrowest = aspects.front(), widest = aspects.front();
        for (double a : aspects) {
            narrowest = std::min(narrowest, a);
            widest = std::max(widest, a);
        }
        const double logWidest = std::log(widest);
        // The row of everything, as if the spacing took nothing when it takes all.
        const double oneRow = RowHeight(sums, 0, n, area.width(), request.spacing);
        const double lowRow = oneRow > 0.0 ? oneRow : area.width() / sums.Aspects(0, n);
        const double smallest = narrowest * lowRow * lowRow;
        const double largest = area.width() * area.width() / narrowest;
        const double tallest = area.width() / narrowest;
        const int steps = 64;
        for (int k = 0; k <= 2 * steps + 1; ++k) {
            // Targets of evenness first, then of height alone.
            const bool byHeight = k > steps;
            const double t = double(byHeight ? k - steps - 1 : k) / double(steps);
            const double target = byHeight ? std::log(lowRow) + std::log(tallest / lowRow) * t
                                           : std::log(smallest) + std::log(largest / smallest) * t;
            RowsPlan plan =
                BreakRows(sums, n, area.width(), request.spacing, target, logWidest, byHeight);
            if (plan.breaks.size() < 2)
                continue;
            double current = score(plan, &scratch);
            for (int pass = 0; pass < 16 && current >= 0.0; ++pass) {
                bool better = false;
                for (std::size_t b = 1; b + 1 < plan.breaks.size(); ++b) {
                    for (int delta : {-1, 1}) {
                        const int moved = plan.breaks[b] + delta;
                        if (moved <= plan.breaks[b - 1] || moved >= plan.breaks[b + 1])
                            continue;
                        const int kept = plan.breaks[b];
                        plan.breaks[b] = moved;
                        const double s = score(plan, &scratch);
                        if (s > current + 1e-9) {
                            current = s;
                            better = true;
                        } else {
                            plan.breaks[b] = kept;
                        }
                    }
                }
                if (!better)
                    break;
            }
            consider(plan, current);
        }
        // The kept breaks, with two breaks moved at once: height passes from one row to another
        // far from it, which single moves cannot do without losing on the way.
        const auto valid = [](const RowsPlan& plan) {
            for (std::size_t b = 1; b < plan.breaks.size(); ++b)
                if (plan.breaks[b] <= plan.breaks[b - 1])
                    return false;
            return true;
        };
        for (int pass = 0; pass < 8 && bestScore >= 0.0; ++pass) {
            const double before = bestScore;
            RowsPlan plan = bestPlan;
            const std::size_t inner = plan.breaks.size() - 1;
            for (std::size_t a = 1; a < inner; ++a) {
                for (std::size_t b = a; b < inner; ++b) {
                    for (int da : {-1, 1}) {
                        for (int db : {-1, 1}) {
                            if (a == b && da != db)
                                continue;
                            plan.breaks[a] += da;
                            if (b != a)
                                plan.breaks[b] += db;
                            if (valid(plan))
                                consider(plan, score(plan, &scratch));
                            plan = bestPlan;
                        }
                    }
                }
            }
            if (bestScore <= before)
                break;
        }
    }
    LayoutResult best;
    if (bestScore >= 0.0)
        score(bestPlan, &best);
    return best;
}

LayoutResult GridLayout(const LayoutRequest& request, const std::vector<double>& aspects) {
    const QSizeF area(request.canvas.width() - 2.0 * request.margin,
                      request.canvas.height() - 2.0 * request.margin);
    const int n = int(aspects.size());
    const double s = request.spacing;
    // The shape whose cells hold the most photo area when each photo is fitted in its cell.
    int bestColumns = 0;
    double bestArea = -1.0;
    for (int columns = 1; columns <= n; ++columns) {
        const int rows = (n + columns - 1) / columns;
        const double cw = (area.width() - s * double(columns - 1)) / double(columns);
        const double ch = (area.height() - s * double(rows - 1)) / double(rows);
        if (cw <= 0.0 || ch <= 0.0)
            continue;
        double fitted = 0.0;
        for (double a : aspects) {
            const double w = std::min(cw, ch * a);
            fitted += w * (w / a);
        }
        if (fitted > bestArea * (1.0 + 1e-9)) {
            bestArea = fitted;
            bestColumns = columns;
        }
    }
    LayoutResult result;
    if (bestColumns == 0)
        return result;
    const int columns = bestColumns;
    const int rows = (n + columns - 1) / columns;
    const double cw = (area.width() - s * double(columns - 1)) / double(columns);
    const double ch = (area.height() - s * double(rows - 1)) / double(rows);
    result.cells.resize(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        const int row = i / columns;
        const int inRow = std::min(columns, n - row * columns);
        // A short last row is centred under the others.
        const double offset = double(columns - inRow) * (cw + s) / 2.0;
        const QRectF cell(offset + double(i % columns) * (cw + s), double(row) * (ch + s), cw, ch);
        if (request.fill) {
            result.cells[std::size_t(i)] = cell;
            continue;
        }
        const double a = aspects[std::size_t(i)];
        const double w = std::min(cw, ch * a);
        const double h = w / a;
        result.cells[std::size_t(i)] =
            QRectF(cell.x() + (cw - w) / 2.0, cell.y() + (ch - h) / 2.0, w, h);
    }
    result.ok = true;
    return result;
}

} // namespace layout_detail

LayoutResult ComputePhotoLayout(const LayoutRequest& request) {
    LayoutResult result;
    const int n = int(request.aspects.size());
    if (n == 0) {
        result.error = QStringLiteral("There are no photos to arrange.");
        return result;
    }
    for (double a : request.aspects) {
        if (!std::isfinite(a) || a <= 0.0) {
            result.error = QStringLiteral("A photo has no size.");
            return result;
        }
    }
    if (!(request.spacing >= 0.0) || !(request.margin >= 0.0) ||
        !(request.canvas.width() - 2.0 * request.margin > 0.0) ||
        !(request.canvas.height() - 2.0 * request.margin > 0.0)) {
        result.error = QStringLiteral("The margin leaves no room on the canvas.");
        return result;
    }
    const std::vector<int> order = LayoutOrder(n, request.seed);
    std::vector<double> ordered;
    for (int i : order)
        ordered.push_back(request.aspects[std::size_t(i)]);
    LayoutResult placed;
    switch (request.family) {
    case LayoutFamily::Rows:
        placed = layout_detail::RowsLayout(request, ordered);
        break;
    case LayoutFamily::Grid:
        placed = layout_detail::GridLayout(request, ordered);
        break;
    case LayoutFamily::Tree:
        placed = layout_detail::TreeLayout(request, ordered);
        break;
    }
    if (!placed.ok) {
        result.error = QStringLiteral("The spacing leaves no room for %1 photos.").arg(n);
        return result;
    }
    result.ok = true;
    result.order = order;
    result.cells.resize(std::size_t(n));
    for (int k = 0; k < n; ++k)
        result.cells[std::size_t(order[std::size_t(k)])] =
            placed.cells[std::size_t(k)].translated(request.margin, request.margin);
    result.coverage =
        layout_detail::CellsArea(result.cells) / (request.canvas.width() * request.canvas.height());
    result.aspectError = layout_detail::MeanCut(result.cells, request.aspects);
    return result;
}

} // namespace mosaiq
