#pragma once

#include <QString>
#include <QStringView>
#include <functional>

// Picks a text in the language the screens show now, from its English and its Russian form.
class Localizer
{
public:
    explicit Localizer(std::function<bool()> showsEnglish) : showsEnglish(std::move(showsEnglish))
    {
    }

    QString operator()(QStringView english, QStringView russian) const
    {
        return (showsEnglish() ? english : russian).toString();
    }

private:
    std::function<bool()> showsEnglish;
};
