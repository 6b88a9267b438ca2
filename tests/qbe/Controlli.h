#pragma once

// A window's controls found by their object names, as a user finds them by
// their captions: a control that is not there fails the test with its name
// instead of crashing it.

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

namespace vardof::test {

template <typename T>
T *controllo(const QObject &finestra, const char *nome)
{
    T *c = finestra.findChild<T *>(QLatin1String(nome));
    if (!c)
        throw std::runtime_error(std::string("controllo non trovato: ") + nome);
    return c;
}

} // namespace vardof::test
