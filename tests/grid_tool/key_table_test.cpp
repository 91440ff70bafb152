// The grid's key table: every entry is reachable by its keys in the providers that offer it, a key
// of the other provider finds its refusal, typing takes every printable key, and the help line is
// made of exactly the labels of the keys the provider offers.
#include "tools/grid/key_table.h"
#include "tools/terminal_text/showable_text.h"

#include <curses.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

namespace grid_tool {
namespace {

using Key = Terminal::Key;

constexpr ProviderKind kKinds[] = {ProviderKind::Static, ProviderKind::Dynamic};

Key Char(int code) { return {Key::Kind::Char, code}; }
Key Function(int code) { return {Key::Kind::Function, code}; }

// A key that the match answers to ('x' for the printable keys, a letter no entry claims).
Key SampleKey(const KeyMatch& match) {
    switch (match.kind) {
        case KeyMatch::Kind::Printable: return Char('x');
        case KeyMatch::Kind::Char: return Char(match.code);
        case KeyMatch::Kind::Function: return Function(match.code);
    }
    return {};
}

std::string NameOf(ProviderKind kind) { return kind == ProviderKind::Static ? "static" : "dynamic"; }

TEST(GridKeyTable, EveryEntryHasKeysAHelpLabelAndAProviderThatOffersIt) {
    for (const KeyBinding& binding : KeyTable()) {
        ASSERT_NE(binding.label, nullptr);
        EXPECT_FALSE(std::string(binding.label).empty());
        EXPECT_FALSE(binding.keys.empty()) << binding.label;
        EXPECT_TRUE(binding.offered_by_static || binding.offered_by_dynamic) << binding.label;
    }
}

TEST(GridKeyTable, AKeyAProviderLacksEitherServesItsOwnEntryOrSaysWhy) {
    for (const KeyBinding& binding : KeyTable()) {
        for (ProviderKind kind : kKinds) {
            if (binding.OfferedBy(kind)) continue;
            for (const KeyMatch& match : binding.keys) {
                const KeyBinding* found = FindBinding(SampleKey(match), kind, false);
                ASSERT_NE(found, nullptr) << binding.label;
                if (found->OfferedBy(kind)) continue;  // e.g. typing, under the provider's own label
                EXPECT_EQ(found, &binding) << binding.label;
                EXPECT_NE(found->refusal, nullptr) << binding.label << " in the " << NameOf(kind) << " provider";
            }
        }
    }
}

TEST(GridKeyTable, EveryKeyOfAnEntryDispatchesToItInTheProvidersThatOfferIt) {
    for (const KeyBinding& binding : KeyTable()) {
        for (ProviderKind kind : kKinds) {
            if (!binding.OfferedBy(kind)) continue;
            for (const KeyMatch& match : binding.keys) {
                // No entry before or after it claims the same key in this provider.
                EXPECT_EQ(FindBinding(SampleKey(match), kind, false), &binding)
                    << binding.label << " (" << NameOf(kind) << ", key " << match.code << ")";
            }
        }
    }
}

TEST(GridKeyTable, EveryActionHasAnEntry) {
    std::set<Action> bound;
    for (const KeyBinding& binding : KeyTable()) bound.insert(binding.action);
    for (int action = 0; action <= static_cast<int>(Action::Quit); ++action)
        EXPECT_EQ(bound.count(static_cast<Action>(action)), 1u) << "action " << action << " has no key";
}

TEST(GridKeyTable, AKeyOfTheOtherProviderFindsItsEntryWithTheReason) {
    const KeyBinding* jump = FindBinding(Function(KEY_F(2)), ProviderKind::Dynamic, false);
    ASSERT_NE(jump, nullptr);
    EXPECT_FALSE(jump->OfferedBy(ProviderKind::Dynamic));
    ASSERT_NE(jump->refusal, nullptr);
    EXPECT_EQ(jump->refusal("name"), "the dynamic provider finds no row by its key: F4 sets a range of name");
    EXPECT_EQ(FindBinding(Char(7), ProviderKind::Dynamic, false), jump);  // Ctrl+G, the same key

    const KeyBinding* range = FindBinding(Function(KEY_F(4)), ProviderKind::Static, true);
    ASSERT_NE(range, nullptr);
    EXPECT_FALSE(range->OfferedBy(ProviderKind::Static));
    ASSERT_NE(range->refusal, nullptr);
    EXPECT_EQ(range->refusal("name"), "a range needs the dynamic provider (a table with an index tag): type to search");
    EXPECT_EQ(FindBinding(Char(6), ProviderKind::Static, false), range);  // Ctrl+F
}

TEST(GridKeyTable, WhileTextIsTypedEveryPrintableKeyIsText) {
    for (ProviderKind kind : kKinds) {
        const KeyBinding* quit = FindBinding(Char('q'), kind, false);
        ASSERT_NE(quit, nullptr);
        EXPECT_EQ(quit->action, Action::Quit);
        for (int code : {int('q'), int(' '), 0x416 /* Ж */}) {
            const KeyBinding* typed = FindBinding(Char(code), kind, true);
            ASSERT_NE(typed, nullptr) << code;
            EXPECT_EQ(typed->action, Action::Type) << code;
            EXPECT_TRUE(typed->OfferedBy(kind)) << NameOf(kind);
        }
        // Keys that are not characters keep their own entries while typing.
        EXPECT_EQ(FindBinding(Char(27), kind, true)->action, Action::ClearSearch);
        EXPECT_EQ(FindBinding(Function(KEY_F(10)), kind, true)->action, Action::Quit);
        for (const Key& erase : {Char(127), Char(8), Function(KEY_BACKSPACE)})
            EXPECT_EQ(FindBinding(erase, kind, true)->action, Action::Type);
    }
}

TEST(GridKeyTable, KeysOutsideTheTableAreIgnored) {
    for (ProviderKind kind : kKinds) {
        for (const Key& key : {Char(1), Char('\r'), Function(KEY_F(3)), Function(KEY_ENTER), Function(KEY_IC)})
            EXPECT_EQ(FindBinding(key, kind, false), nullptr) << NameOf(kind) << " key " << key.code;
    }
    EXPECT_FALSE(IsPrintable(Char(127)));
    EXPECT_FALSE(IsPrintable(Function('a')));
}

TEST(GridKeyTable, OnlyTheQuitEntrysFunctionKeysQuitWhileAsking) {
    EXPECT_TRUE(QuitsWhileAsking(Function(KEY_F(10))));
    EXPECT_FALSE(QuitsWhileAsking(Char('q')));  // a letter of the answer
    EXPECT_FALSE(QuitsWhileAsking(Char(27)));
    EXPECT_FALSE(QuitsWhileAsking(Function(KEY_F(6))));
}

TEST(GridKeyTable, HelpLineListsExactlyTheLabelsOfTheKeysTheProviderOffers) {
    for (ProviderKind kind : kKinds) {
        const std::string help = HelpLine(kind);
        std::size_t after = 0;
        for (const KeyBinding& binding : KeyTable()) {
            if (!binding.OfferedBy(kind)) {
                EXPECT_EQ(help.find(binding.label), std::string::npos) << NameOf(kind) << " shows " << binding.label;
                continue;
            }
            const std::size_t at = help.find(binding.label, after);
            ASSERT_NE(at, std::string::npos) << NameOf(kind) << " lacks " << binding.label << " after column " << after;
            // Between two labels only their separator.
            EXPECT_LE(at - after, std::string(" · ").size()) << binding.label;
            after = at + std::string(binding.label).size();
        }
        EXPECT_EQ(after, help.size()) << "the help line ends with more than the labels: " << help;
    }
    EXPECT_EQ(HelpLine(ProviderKind::Static),
              "↑↓ PgUp/Dn Home/End ←→ · type: search · F2 go to key · Esc clears · F5 refresh · F6 reload · q quits");
    EXPECT_EQ(HelpLine(ProviderKind::Dynamic),
              "↑↓ PgUp/Dn Home/End ←→ · type: start there · F4 range · F7 go to % · Esc clears · F5 refresh · F6 reload"
              " · q quits");
}

TEST(GridKeyTable, HelpLineTooWideForTheScreenKeepsHowToQuit) {
    for (ProviderKind kind : kKinds) {
        for (bool typing : {false, true}) {
            const std::string full = HelpLine(kind, typing);
            const std::string narrow = HelpLine(kind, typing, 60);
            EXPECT_LE(terminal_text::Width(narrow), 60u) << narrow;
            EXPECT_EQ(full.substr(full.rfind(" · ")), narrow.substr(narrow.rfind(" · "))) << narrow;
            EXPECT_EQ(full.substr(0, full.find(" · ")), narrow.substr(0, narrow.find(" · "))) << narrow;
        }
    }
    EXPECT_EQ(HelpLine(ProviderKind::Dynamic), HelpLine(ProviderKind::Dynamic, false, 200));
}

}  // namespace
}  // namespace grid_tool
