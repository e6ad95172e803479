RPL 

INCLUDE INFTEST.h
xNAME INFTEST
::
 	INFTSTform
 	DROP                     ( Result code )
*	  ID PA
*	  TSTHND
;
