#pragma once

#include "scrape/linkextractor.h"
#include "scrape/parsedlinkmodified.h"

#include <QList>

// The extractor's parent in these tests: remembers every call, in order, and at each progress
// report how many records of the extractor had settled.
class RoadParent final : public ParsedLinkModified
{
public:
    enum class Call { Modified, Progress };

    void onParsedLinkModified(const std::shared_ptr<ParsedLink> &parsedLink) override
    {
        calls.append(Call::Modified);
        modified.append(parsedLink->idInList());
    }

    void progress(int percent) override
    {
        calls.append(Call::Progress);
        percents.append(percent);
        if (extractor && extractor->parsedLinks()) {
            int settled = 0;
            for (const ParsedLink::Ptr &record : *extractor->parsedLinks())
                settled += record->settled() ? 1 : 0;
            settledAtProgress.append(settled);
        }
    }

    void onNoLinksFound() override { ++noLinksFound; }

    // Set after construction so that progress() can look at the records.
    const LinkExtractor *extractor = nullptr;
    QList<Call> calls;
    QList<int> modified;
    QList<int> percents;
    QList<int> settledAtProgress;
    int noLinksFound = 0;
};
