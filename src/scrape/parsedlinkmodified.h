#pragma once

#include <memory>

class ParsedLink;

// What the link extractor tells its parent, on the GUI thread: each change of a listing, then
// the new percentage of settled listings; and, while parsing, that the page holds no listing
// links (optional).
class ParsedLinkModified
{
public:
    virtual ~ParsedLinkModified() = default;
    virtual void onParsedLinkModified(const std::shared_ptr<ParsedLink> &parsedLink) = 0;
    virtual void progress(int percent) = 0;
    virtual void onNoLinksFound() { }
};
