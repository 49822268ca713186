// The tree family: a slicing tree over the photos in order. Every internal node puts its two
// halves side by side or one above the other with the spacing between them. With uniform gaps
// a subtree's height is a linear function of its width, h = alpha * w + beta, so a tree's exact
// shape follows from its leaves' aspects and the spacing alone; the search below looks for the
// cut directions (and, with a seed, the split points) whose shape best fits the usable area.
#include "canvas/layout/PhotoLayout.h"

#include <algorithm>
#include <cmath>

namespace mosaiq::layout_detail {
namespace {

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
        return BalancedArea(cells) / (area.width() * area.height());
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

private:
    const std::vector<double>& m_aspects;
    double m_spacing;
    std::vector<TreeNode> m_nodes;
};

} // namespace

LayoutResult TreeLayout(const LayoutRequest& request, const std::vector<double>& aspects) {
    const QSizeF area(request.canvas.width() - 2.0 * request.margin,
                      request.canvas.height() - 2.0 * request.margin);
    const int n = int(aspects.size());
    // Several candidate trees: the balanced one first, then split points drawn from the seed.
    // The best one's shape decides; the same seed gives the same candidates.
    const int candidates = n >= 4 ? 8 : 1;
    LayoutRandom random(request.seed ^ 0x5DEECE66Dull);
    std::vector<SlicingTree> trees;
    int bestTree = -1;
    double bestScore = 0.0;
    for (int c = 0; c < candidates; ++c) {
        trees.emplace_back(aspects, request.spacing);
        SlicingTree& tree = trees.back();
        // Seed 0 keeps the balanced split first; another seed starts from another split.
        const bool balanced = c == 0 && request.seed == 0;
        const int root = tree.Build(0, n, balanced ? nullptr : &random);
        if (balanced || c % 2 == 1)
            tree.Orient(root, area.width() / area.height());
        const double score = tree.Improve(root, area);
        if (score > bestScore + 1e-12) {
            bestScore = score;
            bestTree = c;
        }
    }
    LayoutResult result;
    if (bestTree < 0)
        return result;
    const SlicingTree& tree = trees[std::size_t(bestTree)];
    result.cells.resize(std::size_t(n));
    QRectF rect(QPointF(0.0, 0.0), area);
    SlicingTree shaped = tree;
    shaped.Shape(0);
    if (!request.fill) {
        const double w = shaped.FitWidth(0, area);
        const double h = shaped.Height(0, w);
        rect = QRectF((area.width() - w) / 2.0, (area.height() - h) / 2.0, w, h);
    }
    result.ok = shaped.Place(0, rect, request.fill, result.cells);
    return result;
}

} // namespace mosaiq::layout_detail
