#pragma once
// A structural check of an .xls file before libfreexl sees it. libfreexl trusts the lengths
// and sector numbers it finds: a directory entry whose name claims more than its 64 bytes makes
// it read past a buffer on its stack, and broken sector chains send it elsewhere. So the file
// must first prove itself a sound compound file (header, sector allocation table, directory,
// the workbook stream's chain, in the mini stream or not) holding a sound BIFF record stream
// (records inside the stream, none longer than the format allows, a BOF first, every BOF
// closed by its EOF, each listed sheet beginning with a BOF). libfreexl also loses memory on
// unbalanced substreams.
//
// The check also tells where a text lies that libfreexl cannot read: libfreexl takes a shared
// text only while its characters lie in at most two of the stream's records (the one it starts
// in and one continuation); a longer text makes it refuse the whole workbook.
#include <QByteArray>
#include <QString>

namespace controls::grid::io {

struct XlsFacts {
    QByteArray workbook;    // the BIFF stream
    bool biff8 = false;
    int activeSheet = 0; // the sheet the workbook opens with
    // The first shared text libfreexl cannot read: its cell ("Data!B3", or empty when no cell
    // shows it) and its length in characters; length 0 when there is none.
    QString longTextCell;
    int longTextLength = 0;
};

// Empty when the file is sound; otherwise what is wrong with it.
QString CheckXlsFile(const QByteArray& bytes, XlsFacts& facts);

} // namespace controls::grid::io
