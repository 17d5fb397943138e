#include "screens/detailviewcontroller.h"

#include "scrape/parsedlink.h"

DetailViewController::DetailViewController(QWidget *parent)
    : ViewController(parent)
{}

DetailViewController::~DetailViewController() = default;
