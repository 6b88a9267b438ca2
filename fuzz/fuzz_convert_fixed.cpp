// The fixed-length conversion engine.

#include "ConvertFuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QByteArray definition("[LUNGHEZZAFISSA]\r\n"
                                       "1;CODICE;1;6;A;\r\n"
                                       "2;FORN;Costante;'2061';A;\r\n"
                                       "3;DES;7;5;;\r\n"
                                       "4;VUOTO;0;0;A;\r\n"
                                       "5;PREZZO;12;6;N;\r\n"
                                       "6;DATA;18;10;D;\r\n"
                                       "7;ZERO;0;0;N;\r\n");
    vardof::fuzz::convertInput(vardof::fuzz::Engine::FixedLength, definition, data, size);
    return 0;
}
