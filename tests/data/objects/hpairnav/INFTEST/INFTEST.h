* This Header file has been automaticaly
* including:
*    INFTSTform.s
*    INFTEST.s
*    TSTHND.s
*    Field_PA_MsgHandler.s

ASSEMBLEM DC RomId 326 !RPL
xROMID 326

* entries of the file INFTSTform.s
EXTERNAL INFTSTform

* entries of the file INFTEST.s
EXTERNAL xINFTEST

* entries of the file TSTHND.s
EXTERNAL TSTHND

* entries of the file Field_PA_MsgHandler.s
EXTERNAL Field_PA_MsgHandler

