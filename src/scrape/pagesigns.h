#pragma once

class TFHpple;

// What a page shows by the roles of its elements, whatever its site: a link to a next page, the
// photos of a listing. It tells a rule that finds nothing because the page has nothing (the last
// page of results, a listing without photos) from a rule that no longer fits the page.
class PageSigns
{
public:
    // A visible, enabled link whose rel, id, class, label or text says "next" (in the languages of
    // the sites Listoro knows). A next link the page hides or disables on its last page is none.
    static bool hasNextLink(const TFHpple &page);
    // The page names a photo of its own: an og:image or twitter:image, or an img of a photo type.
    static bool showsPhotos(const TFHpple &page);
};
