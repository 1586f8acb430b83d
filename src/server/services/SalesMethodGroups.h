#pragma once
// The sales methods by theme, each file registering its own (see SalesMethods.h), and the
// few element readers they share.

#include "server/services/NamedMethods.h"
#include "server/services/SalesArgs.h"

namespace orvane {

void registerExchangeMethods(NamedMethods& methods); // ExchangeRate, ChangeTax
void registerQuantityMethods(NamedMethods& methods); // UnitConvert, QtyDToS, QtyDTos, QtyAdd, QtyADD
void registerPriceMethods(NamedMethods& methods);    // CopUnitPrice, PriceList
void registerStockMethods(NamedMethods& methods);    // OnHand, OnHandPack, CopOnOrder, CopOnOrderPack
void registerCreditMethods(NamedMethods& methods);   // CreditCtrl
void registerBomMethods(NamedMethods& methods);      // BomExtract
// ItemCheck: the questions of an order line's item check, answered by the methods above and the
// validator's lookups; registered last, it keeps a reference to methods.
void registerItemCheckMethod(NamedMethods& methods);

// What "CopUnitPrice" of these elements reads first, known from the elements alone, for a call
// that reads it ahead (SalesData::readAhead); none when an element would be refused.
std::vector<ReusedRun> copUnitPriceReads(const Variant& elements);

// The tax rate of element index: a fraction from 0 to below 1.
double taxRate(const SalesArgs& args, std::size_t index);

} // namespace orvane
