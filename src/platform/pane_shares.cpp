#include "platform/pane_shares.h"

#include <algorithm>
#include <numeric>

std::vector<int> EqualShares(int n) {
    std::vector<int> shares;
    if (n <= 0)
        return shares;
    const int each = (n / 2 + kWholeShare) / n;
    shares.assign(size_t(n), each);
    shares.back() = kWholeShare - each * (n - 1);
    return shares;
}

std::vector<int> PaneSizes(const std::vector<int>& shares, int total, int minimum) {
    const size_t n = shares.size();
    std::vector<int> sizes(n, 0);
    if (n == 0)
        return sizes;
    total = std::max(total, 0);
    minimum = std::max(minimum, 0);
    if (qint64(minimum) * qint64(n) > total) {
        int left = total;
        for (size_t i = 0; i < n; ++i) {
            sizes[i] = std::min(minimum, left);
            left -= sizes[i];
        }
        return sizes;
    }
    std::vector<bool> pinned(n, false);
    for (;;) {
        qint64 freeShares = 0;
        int freeTotal = total;
        for (size_t i = 0; i < n; ++i) {
            if (pinned[i])
                freeTotal -= minimum;
            else
                freeShares += std::max(shares[i], 0);
        }
        bool changed = false;
        int given = 0;
        size_t lastFree = n;
        for (size_t i = 0; i < n; ++i) {
            if (pinned[i]) {
                sizes[i] = minimum;
                continue;
            }
            sizes[i] = freeShares > 0
                           ? int((qint64(freeTotal) * std::max(shares[i], 0) + freeShares / 2) /
                                 freeShares)
                           : 0;
            given += sizes[i];
            lastFree = i;
        }
        if (lastFree < n)
            sizes[lastFree] += freeTotal - given;  // rounding goes to the last free pane
        for (size_t i = 0; i < n; ++i) {
            if (!pinned[i] && sizes[i] < minimum) {
                pinned[i] = true;
                changed = true;
            }
        }
        if (!changed)
            return sizes;
    }
}

std::vector<int> SharesFromSizes(const std::vector<int>& sizes) {
    const qint64 sum = std::accumulate(sizes.begin(), sizes.end(), qint64(0));
    if (sizes.empty())
        return {};
    if (sum <= 0)
        return EqualShares(int(sizes.size()));
    std::vector<int> shares(sizes.size());
    int given = 0;
    for (size_t i = 0; i + 1 < sizes.size(); ++i) {
        shares[i] = int((qint64(std::max(sizes[i], 0)) * kWholeShare + sum / 2) / sum);
        given += shares[i];
    }
    shares.back() = kWholeShare - given;
    return shares;
}
