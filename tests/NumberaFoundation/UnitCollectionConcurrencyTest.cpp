// Lookups on several threads while another thread adds, links, replaces and removes units.
// Run under a sanitizer, a lookup that kept a pointer into a freed index entry or unit fails.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "NBFUnitCollection.h"
#include "UnitCatalogueFixture.h"

namespace {

// A fresh unit that the collection alone will hold once the caller lets go of it.
NBFUnitContainerRef makeChurnUnit(const std::string& identifier, NBFUnitRef basic,
                                  const NBF::UnitContainer::NameMap& names,
                                  const NBF::UnitContainer::AliasMap& aliases) {
    NBFUnitContainerRef unit = NBFUnitContainerCreate(identifier, names, aliases);
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreateWithBasicUnit(basic);
    NBFUnitContainerSetUnitFraction(unit, NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitFractionBuilderRelease(builder);
    return unit;
}

TEST(UnitCollectionConcurrency, LookupsWhileUnitsAreAddedAndRemoved) {
    UnitCatalogueFixture catalogue;
    NBFUnitCollectionRef collection = NBFUnitCollectionCreate();
    NBFUnitCollectionAddUnits(collection, catalogue.all().data(),
                              static_cast<int32_t>(catalogue.all().size()));
    NBFUnitCollectionAddSIExponentLink(collection, catalogue["metre"], catalogue["kilometre"], 3);
    const int32_t stableCount = NBFUnitCollectionGetCountOfUnits(collection);

    constexpr int kRounds = 400;
    constexpr int kReaders = 4;
    std::atomic<bool> done{false};
    std::atomic<int> failures{0};
    std::atomic<long> lookups{0};

    std::thread writer([&] {
        NBFUnitContainerRef previous = nullptr;
        for (int round = 0; round < kRounds; ++round) {
            std::string identifier = "rod-" + std::to_string(round % 3);
            NBFUnitContainerRef rod =
                makeChurnUnit(identifier, catalogue.basic("foot"),
                              {{NBFUnitNameTypeSingular, "rod"}, {NBFUnitNameTypePlural, "rods"}},
                              {{NBFUnitNameTypeSingular, "perch"}});
            NBFUnitCollectionAddUnit(collection, rod);
            NBFUnitCollectionAddNonSILink(collection, catalogue["metre"], rod);
            if (previous) NBFUnitCollectionRemoveUnit(collection, previous);
            NBFUnitContainerRelease(previous);
            previous = rod;

            // The catalogue's hour goes first; then each round replaces the fresh one.
            NBFUnitCollectionRemoveUnit(collection, catalogue["hour"]);
            NBFUnitContainerRef hour =
                makeChurnUnit("hour", catalogue.basic("hour"), {{NBFUnitNameTypeSymbol, "h"}}, {});
            NBFUnitCollectionAddUnit(collection, hour);
            NBFUnitContainerRelease(hour);

            NBFUnitCollectionSetBaseUnit(collection, NBFUnitTypeMass,
                                         catalogue[round % 2 ? "gram" : "kilogram"]);
        }
        NBFUnitContainerRelease(previous);
        done = true;
    });

    auto reader = [&] {
        Words rod{"ROD"};
        Words perch{"perch"};
        Words h{"h"};
        Words m{"m"};
        M_APM half = m_apm_init_mt();
        m_apm_set_string_mt(half, "0.5");
        while (!done) {
            for (const Words* words : {&rod, &perch}) {
                for (const auto& result : NBFUnitCollectionFindUnitsMatchingWords(
                         collection, words->get(), nullptr, nullptr)) {
                    if (NBFUnitContainerGetIdentifier_cpp(result.unit.get()).rfind("rod-", 0) !=
                            0 ||
                        NBFUnitContainerGetScalarMAPM(result.unit.get()) == nullptr)
                        ++failures;
                }
            }
            NBF::Ref<NBF::UnitContainer> hour = NBFUnitCollectionFindTopUnitMatchingWords(
                collection, h.get(), nullptr, nullptr, nullptr);
            if (hour && NBFUnitContainerGetIdentifier_cpp(hour.get()) != "hour") ++failures;
            bool exactCase = false;
            auto metre =
                NBFUnitCollectionFindUnitsMatchingWords(collection, m.get(), nullptr, &exactCase);
            if (metre.size() != 2 || !exactCase || metre[0].unit.get() != catalogue["metre"])
                ++failures;

            NBFUnitContainerRef mass = NBFUnitCollectionCopyBaseUnit(collection, NBFUnitTypeMass);
            if (mass != catalogue["kilogram"] && mass != catalogue["gram"]) ++failures;
            NBFUnitContainerRelease(mass);
            if (NBFUnitCollectionGetBaseUnit(collection, NBFUnitTypeLength) != catalogue["metre"])
                ++failures;
            int32_t count = NBFUnitCollectionGetCountOfUnits(collection);
            if (count < stableCount - 1 || count > stableCount + 2) ++failures;
            if (NBFUnitCollectionGetSIExponentUnit(collection, catalogue["metre"], 3) !=
                catalogue["kilometre"])
                ++failures;
            NBFUnitContainerRef below =
                NBFUnitCollectionFindFirstLinkedUnitWithScalarLessThanOrEqualToMAPM(
                    collection, catalogue["metre"], MM_One);
            if (below != catalogue["metre"]) ++failures;
            // Some rod or nothing; it may be gone by now, so it is not looked at.
            (void)NBFUnitCollectionFindFirstLinkedUnitWithScalarLessThanOrEqualToMAPM(
                collection, catalogue["metre"], half);
            ++lookups;
        }
        m_apm_free_mt(half);
    };

    std::vector<std::thread> readers;
    for (int i = 0; i < kReaders; ++i) readers.emplace_back(reader);
    writer.join();
    for (std::thread& thread : readers) thread.join();

    EXPECT_EQ(failures.load(), 0);
    EXPECT_GT(lookups.load(), 0);
    // The last rod was released by the writer and removed from nothing: it stays, the hour
    // was replaced in place, the catalogue's hour is gone.
    EXPECT_EQ(NBFUnitCollectionGetCountOfUnits(collection), stableCount + 1);
    Words perch{"perch"};
    auto rods = NBFUnitCollectionFindUnitsMatchingWords(collection, perch.get(), nullptr, nullptr);
    ASSERT_EQ(rods.size(), 1u);
    EXPECT_EQ(NBFUnitContainerGetIdentifier_cpp(rods[0].unit.get()),
              "rod-" + std::to_string((kRounds - 1) % 3));
    EXPECT_EQ(catalogue["hour"]->retainCount(), 1);
    NBFUnitCollectionRelease(collection);
}

}  // namespace
