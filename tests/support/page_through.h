#pragma once
// Pages through a QueryRows walk as the dynamic provider does: pages of `page` rows, each starting
// after the previous page's last row (key, index text) and given by answer(call). A walk still going
// after max_pages pages fails the test and stops there: a page that repeats its start row would
// otherwise page on for ever. Call has count, index, key and inclusive; a row is (key, index text).

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace test_support {

template <typename Rows, typename Call, typename Answerer>
Rows PageThroughWith(const Answerer& answer, Call call, std::int64_t page, std::int64_t max_pages) {
    Rows all;
    if (page < 1) {
        ADD_FAILURE() << "a page holds at least one row, got " << page;
        return all;
    }
    call.count = page;
    for (std::int64_t pages = 0; pages < max_pages; ++pages) {
        Rows rows = answer(call);
        all.insert(all.end(), rows.begin(), rows.end());
        if (static_cast<std::int64_t>(rows.size()) < page) return all;
        call.index = rows.back().second;
        call.key = rows.back().first;
        call.inclusive = 0;
    }
    ADD_FAILURE() << "paging has not ended after " << max_pages << " pages of " << page << " rows ("
                  << all.size() << " rows read): a page does not move past its start";
    return all;
}

}  // namespace test_support
