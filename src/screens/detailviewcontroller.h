#pragma once

#include "ui/viewcontroller.h"

#include <memory>

class ParsedLink;

// A listing's own page, with a favorite toggle and e-mail in the navigation bar.
class DetailViewController final : public ViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DetailViewController)

public:
    explicit DetailViewController(QWidget *parent = nullptr);
    ~DetailViewController() override;

    std::shared_ptr<ParsedLink> parsedLink() const { return m_parsedLink.lock(); }
    void setParsedLink(const std::shared_ptr<ParsedLink> &parsedLink) { m_parsedLink = parsedLink; }

private:
    std::weak_ptr<ParsedLink> m_parsedLink;
};
