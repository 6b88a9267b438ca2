#pragma once

#include <QString>

namespace vardof::db {

// Type codes as the catalogue stores them in RDB$FIELDS.RDB$FIELD_TYPE.
enum FieldType : int {
    TypeSmallint = 7,
    TypeInteger = 8,
    TypeFloat = 10,
    TypeDate = 12,
    TypeTime = 13,
    TypeChar = 14,
    TypeBigint = 16,
    TypeBoolean = 23,
    TypeDouble = 27,
    TypeTimestamp = 35,
    TypeVarchar = 37,
    TypeBlob = 261,
};

// One column of a result (or one parameter of a statement).
struct Column
{
    QString name;      // field name as the server reports it
    QString alias;     // the name the SELECT gives it
    QString relation;  // table it comes from, empty for expressions
    int typeCode = 0;  // FieldType
    int sqlType = 0;   // the client's SQL_* code, without the null bit
    int subType = 0;   // blob subtype (1 text), or 1/2 NUMERIC/DECIMAL for integers
    int scale = 0;     // digits after the point (positive), 0 for non-decimals
    int precision = 0;
    int length = 0;    // bytes in the message (characters for WIN1252 text)
    int charSet = 0;
    bool nullable = true;

    bool isText() const { return typeCode == TypeChar || typeCode == TypeVarchar; }
    bool isTextBlob() const { return typeCode == TypeBlob && subType == 1; }
    bool isInteger() const;
    bool isDecimal() const { return scale > 0; }
    bool isNumeric() const;
    bool isDateLike() const { return typeCode == TypeDate || typeCode == TypeTimestamp || typeCode == TypeTime; }
};

} // namespace vardof::db
