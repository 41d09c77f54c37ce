-- The second outlet of the division is no element.
-- expect: S12
-- level: 2
-- text: 2. Ablaufelement
UPDATE tbl_rvldaten SET ablauf2 = 'G99' WHERE bez = 'A1';
