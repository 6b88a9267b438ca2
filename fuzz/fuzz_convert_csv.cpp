// The delimited conversion engine.

#include "ConvertFuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QByteArray definition("[CSV]\r\n"
                                       "1;CODICE;2[NOBLANKINI];A;\r\n"
                                       "2;FORN;'2061';A;\r\n"
                                       "3;VUOTO;0;A;\r\n"
                                       "4;PRIMA;4(1,5);A;\r\n"
                                       "5;SECONDA;4(3,4)PPI;A;\r\n"
                                       "6;TERZA;4(2,3)UPI;A;\r\n"
                                       "7;PREZZO;1;N;\r\n"
                                       "8;DATA;3;D;\r\n"
                                       "9;INSIEME;1+' '+2;A;\r\n"
                                       "10;GREZZO;5;;\r\n");
    vardof::fuzz::convertInput(vardof::fuzz::Engine::Delimited, definition, data, size);
    return 0;
}
