// The tree family: a slicing tree over the photos. Every internal node puts its two halves side
// by side or one above the other with the spacing between them. With uniform gaps a subtree's
// height is a linear function of its width, h = alpha * w + beta, so a tree's exact shape follows
// from its leaves' aspects and the spacing alone.
//
// The splits are chosen for even sizes: a node's photos share its rectangle by their count, so
// each half gets the shape its share gives (side by side, half the photos take half the width),
// and the search looks for the split points and cuts whose leaves' shapes come nearest their
// photos' aspects. The cuts are then flipped while that places better. Up to kFewPhotos photos,
// every shape of every order is searched for the tree nearest the page's shape.
#include "canvas/layout/PhotoLayout.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <unordered_map>

namespace mosaiq::layout_detail {
namespace {

// What a tree's size spread leaves of its area. Among trees of about one coverage the one of more
// even sizes wins (halving the spread is worth less than a percent); past twice the spread the
// photos' own shapes make (their widest over their narrowest aspect), many photos lose a quarter
// power of the excess, so photos of one shape get one size. Few photos of different shapes often
// cannot fill the page otherwise: they only lose past a spread of 24.
double EvenFactor(double spread, std::size_t count, double shape) {
    const double tieBreak = std::pow(spread, -0.01);
    if (count <= std::size_t(kFewPhotos))
        return tieBreak * std::sqrt(std::min(1.0, 24.0 / spread));
    return tieBreak * std::pow(std::max(1.0, spread / (2.0 * shape)), -0.25);
}

double ShapeSpread(const std::vector<double>& aspects) {
    const auto [narrowest, widest] = std::minmax_element(aspects.begin(), aspects.end());
    return aspects.empty() ? 1.0 : *widest / *narrowest;
}

struct TreeNode {
    int left = -1; // child nodes; -1 for a leaf
    int right = -1;
    int photo = -1; // leaf: position in the ordered photos
    bool sideBySide = false;
    double alpha = 0.0; // h = alpha * w + beta
    double beta = 0.0;
};

class SlicingTree {
public:
    SlicingTree(const std::vector<double>& aspects, double spacing)
        : m_aspects(aspects), m_spacing(spacing) {}

    // Builds the tree over photos [first, end) split near the middle (offset by up to a quarter
    // of the range when random is given); returns the root.
    int Build(int first, int end, LayoutRandom* random) {
        const int id = int(m_nodes.size());
        m_nodes.emplace_back();
        if (end - first == 1) {
            m_nodes[std::size_t(id)].photo = first;
            return id;
        }
        int split = first + (end - first) / 2;
        if (random && end - first >= 4) {
            const int quarter = (end - first) / 4;
            split = first + quarter + random->Below(end - first - 2 * quarter);
            split = std::clamp(split, first + 1, end - 1);
        }
        const int left = Build(first, split, random);
        const int right = Build(split, end, random);
        m_nodes[std::size_t(id)].left = left;
        m_nodes[std::size_t(id)].right = right;
        m_nodes[std::size_t(id)].sideBySide = random ? (random->Next() & 1) != 0 : false;
        return id;
    }

    // A leaf of the photo at position photo; a node over two built subtrees. Both return the id.
    int Leaf(int photo) {
        m_nodes.emplace_back();
        m_nodes.back().photo = photo;
        return int(m_nodes.size()) - 1;
    }
    int Join(int left, int right, bool sideBySide) {
        m_nodes.emplace_back();
        m_nodes.back().left = left;
        m_nodes.back().right = right;
        m_nodes.back().sideBySide = sideBySide;
        return int(m_nodes.size()) - 1;
    }
    int Root() const { return int(m_nodes.size()) - 1; }

    // Sets every node's cut so that its shape is near the target aspect, top down: a wide
    // target puts the halves side by side.
    void Orient(int id, double target) {
        TreeNode& node = m_nodes[std::size_t(id)];
        if (node.photo >= 0)
            return;
        node.sideBySide = target >= 1.0;
        Orient(node.left, node.sideBySide ? target / 2.0 : target * 2.0);
        Orient(node.right, node.sideBySide ? target / 2.0 : target * 2.0);
    }

    // Computes alpha and beta bottom up; false when a node has no room (the spacing eats it).
    bool Shape(int id) {
        TreeNode& node = m_nodes[std::size_t(id)];
        if (node.photo >= 0) {
            node.alpha = 1.0 / m_aspects[std::size_t(node.photo)];
            node.beta = 0.0;
            return true;
        }
        if (!Shape(node.left) || !Shape(node.right))
            return false;
        const TreeNode& l = m_nodes[std::size_t(node.left)];
        const TreeNode& r = m_nodes[std::size_t(node.right)];
        if (node.sideBySide) {
            // w = (h - beta_l) / alpha_l + s + (h - beta_r) / alpha_r, solved for h.
            node.alpha = 1.0 / (1.0 / l.alpha + 1.0 / r.alpha);
            node.beta = node.alpha * (l.beta / l.alpha + r.beta / r.alpha - m_spacing);
        } else {
            node.alpha = l.alpha + r.alpha;
            node.beta = l.beta + r.beta + m_spacing;
        }
        return true;
    }

    // The root's width when the tree is as large as fits the area; 0 when it does not fit.
    double FitWidth(int root, QSizeF area) const {
        const TreeNode& node = m_nodes[std::size_t(root)];
        const double w = std::min(area.width(), (area.height() - node.beta) / node.alpha);
        return w > 0.0 ? w : 0.0;
    }

    // The height of the shaped subtree at width w.
    double Height(int id, double w) const {
        const TreeNode& node = m_nodes[std::size_t(id)];
        return node.alpha * w + node.beta;
    }

    // Lays the subtree into the rectangle. Without fill the rectangle is the subtree's exact
    // shape; with fill it is any rectangle and the halves share it by their natural sizes.
    bool Place(int id, QRectF rect, bool fill, std::vector<QRectF>& cells) const {
        const TreeNode& node = m_nodes[std::size_t(id)];
        if (rect.width() <= 0.0 || rect.height() <= 0.0)
            return false;
        if (node.photo >= 0) {
            cells[std::size_t(node.photo)] = rect;
            return true;
        }
        const TreeNode& l = m_nodes[std::size_t(node.left)];
        const TreeNode& r = m_nodes[std::size_t(node.right)];
        QRectF first = rect;
        QRectF second = rect;
        if (node.sideBySide) {
            double wl = (rect.height() - l.beta) / l.alpha;
            double wr = (rect.height() - r.beta) / r.alpha;
            if (fill) {
                const double room = rect.width() - m_spacing;
                const double share = wl > 0.0 && wr > 0.0 ? wl / (wl + wr) : 0.5;
                wl = room * share;
                wr = room - wl;
            }
            first.setWidth(wl);
            second.setLeft(rect.left() + wl + m_spacing);
            second.setWidth(wr);
        } else {
            double hl = l.alpha * rect.width() + l.beta;
            double hr = r.alpha * rect.width() + r.beta;
            if (fill) {
                const double room = rect.height() - m_spacing;
                const double share = hl > 0.0 && hr > 0.0 ? hl / (hl + hr) : 0.5;
                hl = room * share;
                hr = room - hl;
            }
            first.setHeight(hl);
            second.setTop(rect.top() + hl + m_spacing);
            second.setHeight(hr);
        }
        return Place(node.left, first, fill, cells) && Place(node.right, second, fill, cells);
    }

    // Share of the area the unfilled tree covers, balanced; 0 when it does not fit.
    double Score(int root, QSizeF area) {
        if (!Shape(root))
            return 0.0;
        const double w = FitWidth(root, area);
        if (w <= 0.0)
            return 0.0;
        std::vector<QRectF> cells(m_aspects.size());
        if (!Place(root, QRectF(0.0, 0.0, w, Height(root, w)), false, cells))
            return 0.0;
        return EvenArea(cells) / (area.width() * area.height());
    }

    // Flips single cuts while that raises the score; returns the final score.
    double Improve(int root, QSizeF area) {
        double best = Score(root, area);
        for (int pass = 0; pass < 12; ++pass) {
            bool better = false;
            for (TreeNode& node : m_nodes) {
                if (node.photo >= 0)
                    continue;
                node.sideBySide = !node.sideBySide;
                const double score = Score(root, area);
                if (score > best + 1e-12) {
                    best = score;
                    better = true;
                } else {
                    node.sideBySide = !node.sideBySide;
                }
            }
            if (!better)
                break;
        }
        Score(root, area); // leaves the shapes of the kept cuts
        return best;
    }

    // The tree's area at its best fit, the same as Score's.
    double EvenArea(const std::vector<QRectF>& cells) const {
        double area = 0.0;
        for (const QRectF& c : cells)
            area += c.width() * c.height();
        return area * EvenFactor(SizeSpread(cells), cells.size(), ShapeSpread(m_aspects));
    }

private:
    const std::vector<double>& m_aspects;
    double m_spacing;
    std::vector<TreeNode> m_nodes;
};

// The split search: the cost of laying photos [first, end) into a rectangle of aspect e^logT
// when every photo gets an equal share of the area, as the squared log differences between the
// leaves' rectangles and their photos' aspects; memoised on the range and the aspect to a
// twentieth of its logarithm.
class EvenSplits {
public:
    explicit EvenSplits(const std::vector<double>& aspects) {
        for (double a : aspects)
            m_logs.push_back(std::log(a));
    }

    double Cost(int first, int end, double logT) {
        if (end - first == 1) {
            const double d = logT - m_logs[std::size_t(first)];
            return d * d;
        }
        const int bucket = int(std::lround(std::clamp(logT, -kReach, kReach) / kStep));
        const std::uint64_t key = (std::uint64_t(first) * 4096u + std::uint64_t(end)) * 1024u +
                                  std::uint64_t(bucket + 512);
        if (const auto it = m_memo.find(key); it != m_memo.end())
            return it->second.cost;
        const double t = double(bucket) * kStep;
        Choice best;
        const int m = end - first;
        // Long ranges split near their middle third: far uneven splits only make uneven sizes.
        const int from = m <= 12 ? first + 1 : first + m / 3;
        const int to = m <= 12 ? end - 1 : end - m / 3;
        for (int k = from; k <= to; ++k) {
            const double share = double(k - first) / double(m);
            const double ls = std::log(share), rs = std::log(1.0 - share);
            const double beside = Cost(first, k, t + ls) + Cost(k, end, t + rs);
            if (beside < best.cost)
                best = {beside, k, true};
            const double above = Cost(first, k, t - ls) + Cost(k, end, t - rs);
            if (above < best.cost)
                best = {above, k, false};
        }
        m_memo[key] = best;
        return best.cost;
    }

    // Builds the cheapest tree for the range at logT into tree; returns its root.
    int Build(SlicingTree& tree, int first, int end, double logT) {
        if (end - first == 1)
            return tree.Leaf(first);
        Cost(first, end, logT);
        const int bucket = int(std::lround(std::clamp(logT, -kReach, kReach) / kStep));
        const std::uint64_t key = (std::uint64_t(first) * 4096u + std::uint64_t(end)) * 1024u +
                                  std::uint64_t(bucket + 512);
        const Choice c = m_memo[key];
        const double t = double(bucket) * kStep;
        const double share = double(c.split - first) / double(end - first);
        const double ls = std::log(share), rs = std::log(1.0 - share);
        const int left = Build(tree, first, c.split, c.beside ? t + ls : t - ls);
        const int right = Build(tree, c.split, end, c.beside ? t + rs : t - rs);
        return tree.Join(left, right, c.beside);
    }

private:
    static constexpr double kStep = 0.05;
    static constexpr double kReach = 12.0;
    struct Choice {
        double cost = std::numeric_limits<double>::infinity();
        int split = 0;
        bool beside = false;
    };
    std::vector<double> m_logs;
    std::unordered_map<std::uint64_t, Choice> m_memo;
};

// Every shape of few photos in any order: the slicing trees over each subset of the photos,
// built from the trees of its two parts, one kept per aspect (to a tenth of its logarithm) with
// the most even sizes. The root's shapes are then judged by how much of the area they fill.
class FewPhotoShapes {
public:
    FewPhotoShapes(const std::vector<double>& aspects, double spacing)
        : m_aspects(aspects), m_spacing(spacing), m_shapes(std::size_t(1) << aspects.size()) {
        const int n = int(aspects.size());
        for (int i = 0; i < n; ++i) {
            Shape leaf;
            leaf.a0 = leaf.alpha = 1.0 / aspects[std::size_t(i)];
            leaf.photo = i;
            m_shapes[std::size_t(1) << i].push_back(leaf);
        }
        const unsigned all = (1u << n) - 1u;
        // Subsets in order of size, so both parts of a split are done before it.
        for (int size = 2; size <= n; ++size) {
            for (unsigned set = 1; set <= all; ++set) {
                if (std::popcount(set) != size)
                    continue;
                std::map<int, Shape> kept;
                const unsigned lowest = set & (~set + 1u);
                // Parts holding the set's lowest photo come first: the given order where it can.
                for (unsigned part = (set - 1u) & set; part > 0; part = (part - 1u) & set) {
                    if (!(part & lowest))
                        continue;
                    const unsigned rest = set & ~part;
                    const auto& ls = m_shapes[part];
                    const auto& rs = m_shapes[rest];
                    for (int li = 0; li < int(ls.size()); ++li)
                        for (int ri = 0; ri < int(rs.size()); ++ri)
                            for (bool beside : {true, false})
                                Keep(kept, Combine(ls[std::size_t(li)], rs[std::size_t(ri)], part,
                                                   li, rest, ri, beside));
                }
                auto& out = m_shapes[set];
                for (auto& [bucket, shape] : kept)
                    out.push_back(shape);
            }
        }
    }

    // Builds into tree the root shape that fills area best (even sizes breaking near ties);
    // returns its root, or -1.
    int BuildBest(SlicingTree& tree, QSizeF area) const {
        const auto& roots = m_shapes.back();
        int best = -1;
        double bestScore = 0.0;
        for (int i = 0; i < int(roots.size()); ++i) {
            const Shape& s = roots[std::size_t(i)];
            const double w = std::min(area.width(), (area.height() - s.beta) / s.alpha);
            if (w <= 0.0)
                continue;
            const double box = w * (s.alpha * w + s.beta) / (area.width() * area.height());
            const double score =
                box * EvenFactor(s.hi / s.lo, m_aspects.size(), ShapeSpread(m_aspects));
            if (score > bestScore + 1e-12) {
                bestScore = score;
                best = i;
            }
        }
        return best < 0 ? -1 : Build(tree, unsigned(m_shapes.size() - 1), best);
    }

private:
    struct Shape {
        double a0 = 1.0;             // height over width without the spacing
        double alpha = 1.0;          // h = alpha * w + beta with the spacing
        double beta = 0.0;
        double lo = 1.0, hi = 1.0;   // the smallest and largest photo's share of the area
        int photo = -1;              // a leaf's photo
        unsigned leftSet = 0, rightSet = 0;
        int left = -1, right = -1;   // indices into the parts' shapes
        bool beside = false;
    };

    Shape Combine(const Shape& l, const Shape& r, unsigned ls, int li, unsigned rs, int ri,
                  bool beside) const {
        Shape s;
        double share = 0.0;
        if (beside) {
            s.a0 = 1.0 / (1.0 / l.a0 + 1.0 / r.a0);
            s.alpha = 1.0 / (1.0 / l.alpha + 1.0 / r.alpha);
            s.beta = s.alpha * (l.beta / l.alpha + r.beta / r.alpha - m_spacing);
            share = (1.0 / l.a0) / (1.0 / l.a0 + 1.0 / r.a0);
        } else {
            s.a0 = l.a0 + r.a0;
            s.alpha = l.alpha + r.alpha;
            s.beta = l.beta + r.beta + m_spacing;
            share = l.a0 / (l.a0 + r.a0);
        }
        s.lo = std::min(share * l.lo, (1.0 - share) * r.lo);
        s.hi = std::max(share * l.hi, (1.0 - share) * r.hi);
        s.leftSet = ls;
        s.rightSet = rs;
        s.left = li;
        s.right = ri;
        s.beside = beside;
        return s;
    }

    static void Keep(std::map<int, Shape>& kept, const Shape& s) {
        const int bucket = int(std::lround(std::log(s.a0) * 10.0));
        const auto it = kept.find(bucket);
        if (it == kept.end())
            kept.emplace(bucket, s);
        else if (s.hi / s.lo < it->second.hi / it->second.lo - 1e-12)
            it->second = s;
    }

    int Build(SlicingTree& tree, unsigned set, int index) const {
        const Shape& s = m_shapes[set][std::size_t(index)];
        if (s.photo >= 0)
            return tree.Leaf(s.photo);
        const int left = Build(tree, s.leftSet, s.left);
        const int right = Build(tree, s.rightSet, s.right);
        return tree.Join(left, right, s.beside);
    }

    const std::vector<double>& m_aspects;
    double m_spacing;
    std::vector<std::vector<Shape>> m_shapes; // by subset of the photos
};

} // namespace

LayoutResult TreeLayout(const LayoutRequest& request, const std::vector<double>& aspects) {
    const QSizeF area(request.canvas.width() - 2.0 * request.margin,
                      request.canvas.height() - 2.0 * request.margin);
    const int n = int(aspects.size());
    const double pageAspect = std::log(area.width() / area.height());
    // Candidates: the tree of even splits for the page's shape; with a seed, trees whose split
    // points are drawn from it (the same seed gives the same candidates); with few photos the
    // best shape of any order. Each has its cuts improved; the best placement wins, the given
    // order unless another is clearly better.
    std::vector<SlicingTree> trees;
    std::vector<int> roots;
    std::vector<double> scores;
    {
        trees.emplace_back(aspects, request.spacing);
        EvenSplits splits(aspects);
        roots.push_back(splits.Build(trees.back(), 0, n, pageAspect));
    }
    if (request.seed != 0 && n >= 4) {
        LayoutRandom random(request.seed ^ 0x5DEECE66Dull);
        for (int c = 0; c < 6; ++c) {
            trees.emplace_back(aspects, request.spacing);
            const int root = trees.back().Build(0, n, &random);
            if (c % 2 == 1)
                trees.back().Orient(root, area.width() / area.height());
            roots.push_back(root);
        }
    }
    const std::size_t given = trees.size();
    if (n > 1 && n <= kFewPhotos) {
        SlicingTree tree(aspects, request.spacing);
        const int root = FewPhotoShapes(aspects, request.spacing).BuildBest(tree, area);
        if (root >= 0) {
            trees.push_back(tree);
            roots.push_back(root);
        }
    }
    int bestTree = -1;
    double bestScore = 0.0;
    for (std::size_t c = 0; c < trees.size(); ++c) {
        const double score = trees[c].Improve(roots[c], area);
        // Another order must fill more than a percent more than the given one.
        const double needed = c >= given ? bestScore * 1.01 : bestScore;
        if (score > needed + 1e-12) {
            bestScore = score;
            bestTree = int(c);
        }
    }
    LayoutResult result;
    if (bestTree < 0)
        return result;
    SlicingTree shaped = trees[std::size_t(bestTree)];
    const int root = roots[std::size_t(bestTree)];
    shaped.Shape(root);
    result.cells.resize(std::size_t(n));
    QRectF rect(QPointF(0.0, 0.0), area);
    if (!request.fill) {
        const double w = shaped.FitWidth(root, area);
        const double h = shaped.Height(root, w);
        rect = QRectF((area.width() - w) / 2.0, (area.height() - h) / 2.0, w, h);
    }
    result.ok = shaped.Place(root, rect, request.fill, result.cells);
    return result;
}

} // namespace mosaiq::layout_detail
