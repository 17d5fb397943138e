#pragma once

#include <libxml/tree.h>

// Makes the JSON documents a page embeds in its scripts (JSON-LD `application/ld+json`, state
// objects in `application/json`) reachable by XPath: each one that parses is added to its script
// element as an element tree under a `json` element. An object's member is an element named by
// its key (members in the order of their keys), or an element `_` with the key in its `key`
// attribute when the key is no XML name; an array's values are `item` elements; a scalar is the
// element's text (null: no text). So a rule reads
// `//script[@type='application/ld+json']/json/offers/price` like any other node.
class EmbeddedJson
{
public:
    static void expose(xmlDoc *document);
};
