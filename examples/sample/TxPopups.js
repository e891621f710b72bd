MyFont="Helvetica,10,,italic"
ebb="The falling tide: water flows back out to sea until low water."
flood="The rising tide: water flows in towards the shore until high water."
